// plenvue-cli palette commands: colour reduction and the bitmap writer on picture files.
//
//   grayscale IN OUT                 GrayScale (Gray Scale)
//   bw IN OUT                        BlackAndWhite into a second picture (Black and White)
//   palette KIND IN OUT [--diffuse]  ApplyPalette with a palette of KIND
//   depth BPP IN OUT [--method N]    the bitmap writer at 1, 4, 8 or 24 bits (Colour Depth: method 0)
//   make-palette KIND [--from IMAGE] OUT.pal [--binary]
//                                    writes a text palette file, or the binary form at position 0
// KIND: mono, 16, halftone, websafe, optimal:SIZE:LEVELS (made from the picture), or the name
// of a text palette file. Every command but depth takes --progress: events go to stderr, one line
// each; any other option is a usage error.
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "effects/clsColourReduceDIB.h"
#include "effects/clsPalette.h"
#include "image/clsDIBSectionSave.h"
#include "base/ErrorObject.h"
#include "tools/plenvue-cli/Cli.h"

namespace plenvue::cli {
namespace {

bool Load(const std::string& path, clsDIBSection& dib) {
    std::string error;
    if (LoadImageFile(path, dib, error)) return true;
    std::fprintf(stderr, "plenvue-cli: %s\n", error.c_str());
    return false;
}

int Save(clsDIBSection& dib, const std::string& path) {
    std::string error;
    if (SaveBmpFile(dib, path, error)) return kExitOk;
    std::fprintf(stderr, "plenvue-cli: %s\n", error.c_str());
    return kExitFailure;
}

// Builds the palette of KIND; an optimal palette needs the picture it is made from.
void MakePalette(const std::string& kind, const clsDIBSection* picture, clsPalette& pal, IProgressListener* progress) {
    pal.SetProgressListener(progress);
    if (kind == "mono") {
        pal.CreateMono();
    } else if (kind == "16") {
        pal.Create16Colour();
    } else if (kind == "halftone") {
        pal.CreateHalfTone();
    } else if (kind == "websafe") {
        pal.CreateWebSafe();
    } else if (kind.rfind("optimal:", 0) == 0) {
        const size_t colon = kind.find(':', 8);
        if (colon == std::string::npos) throw UsageError{"optimal palette is optimal:SIZE:LEVELS"};
        const int32_t size = ParseInt(kind.substr(8, colon - 8), "SIZE");
        const int32_t levels = ParseInt(kind.substr(colon + 1), "LEVELS");
        if (size < 1) throw UsageError{"SIZE must be at least 1"};
        if (levels < 1 || levels > 8) throw UsageError{"LEVELS must be from 1 to 8"};
        if (!picture) throw UsageError{"an optimal palette needs --from IMAGE"};
        pal.CreateOptimal(*picture, size, levels);
    } else {
        pal.LoadFromJASCFile(kind);  // failures raise; main reports them
    }
}

int RunGrayScale(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {}, {"--progress"});
    if (o.positional.size() != 2) throw UsageError{"expected IN and OUT"};
    StderrProgress progress;
    clsDIBSection dib;
    if (!Load(o.positional[0], dib)) return kExitFailure;
    clsColourReduceDIB reduce;
    if (o.Has("--progress")) reduce.SetProgressListener(&progress);
    reduce.GrayScale(dib);
    return Save(dib, o.positional[1]);
}

int RunBlackAndWhite(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {}, {"--progress"});
    if (o.positional.size() != 2) throw UsageError{"expected IN and OUT"};
    StderrProgress progress;
    clsDIBSection dib, scratch;
    if (!Load(o.positional[0], dib)) return kExitFailure;
    if (!scratch.Create(dib.Width(), dib.Height())) {
        std::fprintf(stderr, "plenvue-cli: cannot make the second picture\n");
        return kExitFailure;
    }
    clsColourReduceDIB reduce;
    if (o.Has("--progress")) reduce.SetProgressListener(&progress);
    reduce.BlackAndWhite(dib, scratch);
    return Save(dib, o.positional[1]);
}

int RunPalette(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {}, {"--diffuse", "--progress"});
    if (o.positional.size() != 3) throw UsageError{"expected KIND, IN and OUT"};
    StderrProgress progress;
    IProgressListener* listener = o.Has("--progress") ? &progress : nullptr;
    clsDIBSection dib, scratch;
    if (!Load(o.positional[1], dib)) return kExitFailure;
    clsPalette pal;
    MakePalette(o.positional[0], &dib, pal, listener);
    if (pal.count() == 0) {
        std::fprintf(stderr, "plenvue-cli: the palette has no colours\n");
        return kExitFailure;
    }
    if (!scratch.Create(dib.Width(), dib.Height())) {
        std::fprintf(stderr, "plenvue-cli: cannot make the second picture\n");
        return kExitFailure;
    }
    clsColourReduceDIB reduce;
    reduce.SetProgressListener(listener);
    reduce.ApplyPalette(dib, scratch, pal, o.Has("--diffuse"));
    return Save(dib, o.positional[2]);
}

int RunDepth(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {"--method"}, {});
    if (o.positional.size() != 3) throw UsageError{"expected BPP, IN and OUT"};
    const int32_t bpp = ParseInt(o.positional[0], "BPP");
    eOutputColourDepth depth;
    switch (bpp) {
        case 1: depth = eOutput1Bit; break;
        case 4: depth = eOutput4Bit; break;
        case 8: depth = eOutput8Bit; break;
        case 24: depth = eOutput24Bit; break;
        default: throw UsageError{"BPP must be 1, 4, 8 or 24"};
    }
    const int32_t method = ParseInt(o.Get("--method", "0"), "--method");
    if (method < 0 || method > 2) throw UsageError{"--method must be 0, 1 or 2"};
    clsDIBSection dib;
    if (!Load(o.positional[1], dib)) return kExitFailure;
    std::unique_ptr<clsPalette> pal;
    if (!clsDIBSectionSave().Save(o.positional[2], dib, pal, depth, static_cast<eColourReductionMethod>(method))) {
        std::fprintf(stderr, "plenvue-cli: cannot write %s\n", o.positional[2].c_str());
        return kExitFailure;
    }
    return kExitOk;
}

int RunMakePalette(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {"--from"}, {"--binary", "--progress"});
    if (o.positional.size() != 2) throw UsageError{"expected KIND and OUT.pal"};
    StderrProgress progress;
    clsDIBSection picture;
    const bool from = o.Has("--from");
    if (from && !Load(o.Get("--from", ""), picture)) return kExitFailure;
    clsPalette pal;
    MakePalette(o.positional[0], from ? &picture : nullptr, pal, o.Has("--progress") ? &progress : nullptr);
    const std::string& out = o.positional[1];
    if (o.Has("--binary")) {
        int32_t pos = 0;
        if (pal.count() < 1 || pal.count() > clsPalette::kMaxBinaryCount || !pal.Save(out, pos)) {
            std::fprintf(stderr, "plenvue-cli: cannot write %s\n", out.c_str());
            return kExitFailure;
        }
        return kExitOk;
    }
    pal.SaveToJASCFile(out);
    return kExitOk;
}

const Registrar grayscale({"grayscale", "IN OUT [--progress]", RunGrayScale});
const Registrar bw({"bw", "IN OUT [--progress]", RunBlackAndWhite});
const Registrar palette({"palette", "KIND IN OUT [--diffuse] [--progress]", RunPalette});
const Registrar depth({"depth", "BPP IN OUT [--method 0|1|2]", RunDepth});
const Registrar makePalette({"make-palette", "KIND [--from IMAGE] OUT.pal [--binary] [--progress]", RunMakePalette});

}  // namespace
}  // namespace plenvue::cli
