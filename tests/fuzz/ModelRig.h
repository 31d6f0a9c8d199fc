// The model targets' rig: the model fixture folder (a mesh, an animation, an
// effect and a sub-model that the sample models name) on a recording device,
// made once per process. Load() writes the input under a name and loads it
// through the resource manager, as the game loads what a model names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fixtures/ModelFolder.h"
#include "tests/fuzz/FuzzSupport.h"

namespace fuzz {

inline ModelFolder& Models() {
    static ModelFolder* models = [] {
        UseReports();
        return new ModelFolder;  // lives to the end: loaders keep pointers to its device
    }();
    return *models;
}

inline CResource* LoadModelInput(const std::string& name, int32_t type, const uint8_t* data, size_t size) {
    ModelFolder& models = Models();
    models.folder.WriteLoose(name, std::vector<uint8_t>(data, data + size));
    CResourceManager& rm = models.Manager();
    rm.FileIndex().ClearFolders();
    rm.FileIndex().ScanFolder(".");
    return rm.GetResource(name.c_str(), type, nullptr, 1);
}

}  // namespace fuzz
