// Fuzz target: a walk grid section of a map. Input: one byte of width and one
// of height (1 to 64 cells), then the section's bytes. A section the reader
// accepts holds only terrain bits, and both path searches answer inside the
// grid on it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/core/FileStream.h"
#include "world/PathFinder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t width = data[0] % 64 + 1, height = data[1] % 64 + 1;
    char path[] = "/tmp/qor-walkgrid-fuzz-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return 0;
    if (size > 2 && write(fd, data + 2, size - 2) != static_cast<ssize_t>(size - 2)) {
        close(fd);
        unlink(path);
        return 0;
    }
    close(fd);
    CPathFinder finder;
    finder.Setup(width, height, 5.0f);
    CFileStream in;
    int read = in.OpenRead(path) && finder.walkGrid().Serialize(in);
    in.Close();
    unlink(path);
    if (!read) return 0;
    CWalkGrid& grid = finder.walkGrid();
    for (int32_t z = 0; z < height; ++z)
        for (int32_t x = 0; x < width; ++x)
            if (grid.Cell(x, z) > 1) __builtin_trap();
    finder.waypointGraph().Build();
    const platform::Vec3 corners[4] = {platform::Vec3(1, 0, 1), platform::Vec3(width * 5.0f - 1, 0, height * 5.0f - 1),
                                       platform::Vec3(width * 5.0f - 1, 0, 1), platform::Vec3(1, 0, height * 5.0f - 1)};
    for (const platform::Vec3& from : corners) {
        for (const platform::Vec3& to : corners) {
            std::vector<platform::Vec3> out;
            finder.FindPath(from, to, out);
            for (const platform::Vec3& p : out)
                if (p.x < 0 || p.z < 0 || p.x > width * 5.0f || p.z > height * 5.0f) __builtin_trap();
            out.clear();
            finder.FindGraphPath(from, to, out);
            for (const platform::Vec3& p : out)
                if (p.x < 0 || p.z < 0 || p.x > width * 5.0f || p.z > height * 5.0f) __builtin_trap();
        }
    }
    return 0;
}
