#include "tools/ModelWriter.h"

#include "tools/FormatWriter.h"

std::vector<uint8_t> WriteModelFile(const ModelFile& file) {
    CFormatWriter w;
    w.Float(file.version);
    w.String(file.meshName);
    w.String(file.animationName);
    w.U32(static_cast<uint32_t>(file.subModels.size()));
    for (const ModelSubModel& m : file.subModels) {
        w.U32(m.field1);
        w.U32(m.field2);
        w.U32(m.field3);
        w.String(m.name);
        w.Vec3(m.position);
        w.Vec3(m.rotation);
        w.Float(m.scale);
    }
    w.U32(static_cast<uint32_t>(file.effects.size()));
    for (const ModelEffect& e : file.effects) {
        w.U32(e.field1);
        w.I32(e.boneIndex);
        w.String(e.name);
        w.U32(e.attached);
        w.Vec3(e.position);
        w.Vec3(e.rotation);
    }
    w.U32(static_cast<uint32_t>(file.sounds.size()));
    for (const ModelSound& s : file.sounds) {
        w.U32(s.field1);
        w.U32(s.field2);
        w.String(s.name);
    }
    w.U32(static_cast<uint32_t>(file.actions.size()));
    for (const ModelAction& a : file.actions) {
        w.String(a.name);
        w.U32(a.id);
        w.Float(a.startTime);
        w.Float(a.endTime);
        w.U32(static_cast<uint32_t>(a.events.size()));
        for (const ActionEvent& e : a.events) {
            w.U32(e.a);
            w.U32(e.effectRecord);
            w.U32(e.d);
            w.U32(e.c);
        }
        w.U32(static_cast<uint32_t>(a.soundCues.size()));
        for (const ActionSoundCue& c : a.soundCues) {
            w.U32(c.a);
            w.U32(c.b);
            w.U32(c.c);
        }
        for (uint32_t t : a.trail) w.U32(t);
        for (const std::vector<TrailPoint>* points : {&a.trailPointsA, &a.trailPointsB}) {
            w.U32(static_cast<uint32_t>(points->size()));
            for (const TrailPoint& p : *points) w.Bytes(std::vector<uint8_t>(p.begin(), p.end()));
        }
    }
    w.Vec3(file.boundsMin);
    w.Vec3(file.boundsMax);
    w.Float(file.halfDepthOverride);
    return w.Data();
}

ModelAction MakeModelAction(const std::string& name, float start, float end) {
    ModelAction a;
    a.name = name;
    a.startTime = start;
    a.endTime = end;
    return a;
}
