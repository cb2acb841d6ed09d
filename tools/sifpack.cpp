// sifpack: packs PNG pictures into an image archive (".sif").
//
//   sifpack [-u] [-C dir] OUTPUT.sif [-m MANIFEST]... [KIND NAME PNG]...
//
//   -u         write an uncompressed archive (default: zlib-compressed)
//   -C dir     folder that relative PNG paths are taken from (default: the
//              manifest's folder for manifest lines, else the current folder)
//   -m file    a manifest: one entry per line, "KIND NAME PNG"; blank lines
//              and lines starting with '#' are skipped
//   KIND       image    the picture stored whole
//              trimmed  only the rectangle of visible pixels is stored, with
//                       its place in the full frame
//              palette  each row of the picture is one variant, each column
//                       one colour
//
// Entries keep the order given. The archive is written to a temporary name
// and renamed into place, so a failure leaves any older archive as it was.
#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "PictureFiles.h"

namespace {

struct Job {
    std::string kind, name, file;
    std::string where;  // for messages: "manifest:line" or "arguments"
};

std::string Join(const std::string& folder, const std::string& file) {
    if (folder.empty() || (!file.empty() && file[0] == '/')) return file;
    return folder.back() == '/' ? folder + file : folder + "/" + file;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool ReadManifest(const std::string& path, const std::string& baseFolder, std::vector<Job>& jobs) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "sifpack: cannot open manifest %s\n", path.c_str());
        return false;
    }
    std::string folder = baseFolder.empty() ? FolderOf(path) : baseFolder;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        Job job;
        if (!(words >> job.kind) || job.kind[0] == '#') continue;
        std::string extra;
        if (!(words >> job.name >> job.file) || (words >> extra)) {
            std::fprintf(stderr, "sifpack: %s:%d: expected \"KIND NAME PNG\"\n", path.c_str(), number);
            return false;
        }
        job.file = Join(folder, job.file);
        job.where = path + ":" + std::to_string(number);
        jobs.push_back(job);
    }
    return true;
}

bool AddJob(sif::ArchiveWriter& writer, const Job& job) {
    sif::Picture picture;
    std::string error;
    if (!sif::LoadPicture(job.file, picture, error)) {
        std::fprintf(stderr, "sifpack: %s: %s\n", job.where.c_str(), error.c_str());
        return false;
    }
    bool ok = false;
    if (job.kind == "image") {
        ok = writer.AddImage(job.name, picture);
    } else if (job.kind == "trimmed") {
        ok = writer.AddAutoTrimmedImage(job.name, picture);
    } else if (job.kind == "palette") {
        std::vector<std::vector<sif::Colour>> variants(picture.height);
        for (uint32_t v = 0; v < picture.height; ++v) {
            for (uint32_t c = 0; c < picture.width; ++c) {
                const uint8_t* p = &picture.rgba[(static_cast<size_t>(v) * picture.width + c) * 4];
                variants[v].push_back(sif::Colour{p[0], p[1], p[2], p[3]});
            }
        }
        ok = writer.AddPalette(job.name, variants);
    } else {
        std::fprintf(stderr, "sifpack: %s: unknown kind \"%s\" (image, trimmed or palette)\n", job.where.c_str(),
                     job.kind.c_str());
        return false;
    }
    if (!ok) std::fprintf(stderr, "sifpack: %s: %s\n", job.where.c_str(), writer.GetLastError().c_str());
    return ok;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: sifpack [-u] [-C dir] OUTPUT.sif [-m MANIFEST]... [image|trimmed|palette NAME PNG]...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool compressed = true;
    std::string baseFolder;
    std::string output;
    std::vector<Job> jobs;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-u") {
            compressed = false;
        } else if (arg == "-C") {
            if (++i >= argc) return Usage();
            baseFolder = argv[i];
        } else if (arg == "-m") {
            if (++i >= argc) return Usage();
            if (!ReadManifest(argv[i], baseFolder, jobs)) return 1;
        } else if (arg == "image" || arg == "trimmed" || arg == "palette") {
            if (i + 2 >= argc) return Usage();
            jobs.push_back(Job{arg, argv[i + 1], Join(baseFolder, argv[i + 2]), "arguments"});
            i += 2;
        } else if (output.empty() && !arg.empty() && arg[0] != '-') {
            output = arg;
        } else {
            return Usage();
        }
    }
    if (output.empty()) return Usage();

    if (!al_init() || !al_init_image_addon()) {
        std::fprintf(stderr, "sifpack: cannot start Allegro\n");
        return 1;
    }
    sif::ArchiveWriter writer;
    for (const Job& job : jobs)
        if (!AddJob(writer, job)) return 1;
    if (!writer.WriteFile(output, compressed)) {
        std::fprintf(stderr, "sifpack: %s\n", writer.GetLastError().c_str());
        return 1;
    }
    std::printf("sifpack: wrote %s (%zu entries, %s)\n", output.c_str(), writer.GetEntryCount(),
                compressed ? "compressed" : "uncompressed");
    return 0;
}
