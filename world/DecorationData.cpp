#include "world/DecorationData.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"

int CDecorationData::Serialize(CFileStream& s) {
    SerializeWords(s, {&flags, &value2});
    s.Serialize(model);
    s.Serialize(model2);
    SerializeName(s);
    s.Serialize(text);
    SerializeWords(s, {&decoWord1, &decoWord3, &decoWord2});
    SerializeVec(s, vecA);
    SerializeVec(s, vecB);
    s.Serialize(hitColumn);
    s.Serialize(mesh);
    return s.Failed() ? 0 : 1;
}

int CDecorationData::LinkBody() {
    const bool ok = AcquireResource(model, RES_MODEL, modelResource) &&
                    AcquireResource(model2, RES_MODEL, model2Resource) &&
                    AcquireResource(mesh, RES_MESH, meshResource);
    if (!ok) {
        ErrorReport().Chain("DECORATION : %s", name);
        return 0;
    }
    return Check();
}

void CDecorationData::ReleaseBody() {
    DropResource(model2Resource);
    DropResource(meshResource);
}
