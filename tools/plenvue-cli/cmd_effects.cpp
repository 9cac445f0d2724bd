// plenvue-cli effect commands: the Image menu's filters and effects on a picture file, with the
// same arguments the menu passes.
//
//   filter NAME IN OUT       FilterType by NAME, then ProcessImage(picture, scratch of same size):
//                            blur 1 (Blur), blur-more 2, soften 3 (Soften), soften-more 4,
//                            sharpen 5 (Sharpen), sharpen-more 6, unsharpen 7 (Unsharpen),
//                            emboss 8 (Emboss), average 9, minimum 10, maximum 11
//   fade N IN OUT            Fade(picture, N), N 0..255 (Fade)
//   lighten N IN OUT         Lighten(picture, N), N percent (Lighten)
//   colourise HUE IN OUT     Colourise(picture, HUE, S), S from --saturation, 0.5 as the menu's
//                            Color Glasses; HUE in sixths: 0 red, 1 yellow, 2 green, 3 cyan, 4 blue
//   noise PERCENT IN OUT     AddNoise(picture, PERCENT, --random) (Noise); --seed N restarts the
//                            shared generator first, otherwise its stream runs on unseeded
//   negative IN OUT          inverted copy (Negative)
//   mirror-h|-v|-hv IN OUT   mirrored copy: left-right, top-bottom, both (Mirror 0, 1, 2)
// Every command but negative and the mirrors (which raise no events) takes --progress: the
// progress events go to stderr, one line each. Any other option is a usage error.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "effects/clsImageProcessDIB.h"
#include "effects/modMirror.h"
#include "image/Rnd.h"
#include "base/ErrorObject.h"
#include "tools/plenvue-cli/Cli.h"

namespace plenvue::cli {
namespace {

float ParseFloat(const std::string& text, const char* what) {
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) throw UsageError{std::string(what) + " must be a number: " + text};
    return v;
}

// Loads IN, applies op, saves OUT. Effect errors are reported as the error object's text.
template <class Op>
int Apply(const Options& o, size_t first, Op op) {
    if (o.positional.size() != first + 2) throw UsageError{"expected IN and OUT"};
    const std::string& in = o.positional[first];
    const std::string& out = o.positional[first + 1];
    clsDIBSection dib;
    std::string error;
    if (!LoadImageFile(in, dib, error)) {
        std::fprintf(stderr, "plenvue-cli: %s\n", error.c_str());  // the reason names the file
        return kExitFailure;
    }
    StderrProgress progress;
    clsImageProcessDIB fx;
    if (o.Has("--progress")) fx.SetProgressListener(&progress);
    try {
        op(fx, dib);
    } catch (const ErrorObject& e) {
        std::fprintf(stderr, "plenvue-cli: %s (error %d, %s)\n", e.Description.c_str(), e.Number, e.Source.c_str());
        return kExitFailure;
    }
    if (!SaveBmpFile(dib, out, error)) {
        std::fprintf(stderr, "plenvue-cli: %s\n", error.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

int32_t FilterTypeByName(const std::string& name) {
    static const char* const kNames[] = {"blur", "blur-more", "soften", "soften-more", "sharpen", "sharpen-more",
                                         "unsharpen", "emboss", "average", "minimum", "maximum"};
    for (int32_t i = 0; i < 11; ++i)
        if (name == kNames[i]) return i + 1;
    throw UsageError{"unknown filter: " + name};
}

int RunFilter(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {}, {"--progress"});
    if (o.positional.empty()) throw UsageError{"expected a filter name"};
    const int32_t type = FilterTypeByName(o.positional[0]);
    return Apply(o, 1, [type](clsImageProcessDIB& fx, clsDIBSection& dib) {
        clsDIBSection scratch;
        if (!scratch.Create(dib.Width(), dib.Height())) throw ErrorObject(7, kExeName, "Out of memory");
        fx.FilterType(type);
        fx.ProcessImage(dib, scratch);
    });
}

int RunFade(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {}, {"--progress"});
    if (o.positional.empty()) throw UsageError{"expected N"};
    const int32_t n = ParseInt(o.positional[0], "N");
    return Apply(o, 1, [n](clsImageProcessDIB& fx, clsDIBSection& dib) { fx.Fade(dib, n); });
}

int RunLighten(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {}, {"--progress"});
    if (o.positional.empty()) throw UsageError{"expected N"};
    const int32_t n = ParseInt(o.positional[0], "N");
    return Apply(o, 1, [n](clsImageProcessDIB& fx, clsDIBSection& dib) { fx.Lighten(dib, n); });
}

int RunColourise(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {"--saturation"}, {"--progress"});
    if (o.positional.empty()) throw UsageError{"expected HUE"};
    const float hue = ParseFloat(o.positional[0], "HUE");
    const float sat = ParseFloat(o.Get("--saturation", "0.5"), "--saturation");
    return Apply(o, 1, [hue, sat](clsImageProcessDIB& fx, clsDIBSection& dib) { fx.Colourise(dib, hue, sat); });
}

int RunNoise(const std::vector<std::string>& args) {
    const Options o = ParseOptions(args, {"--seed"}, {"--random", "--progress"});
    if (o.positional.empty()) throw UsageError{"expected PERCENT"};
    const int32_t percent = ParseInt(o.positional[0], "PERCENT");
    const bool random = o.Has("--random");
    if (o.Has("--seed")) {
        const std::string s = o.Get("--seed", "");
        uint32_t seed = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), seed);
        if (ec != std::errc() || end != s.data() + s.size() || s.empty())
            throw UsageError{"--seed must be a whole number from 0 to 4294967295: " + s};
        Randomize(seed);
    }
    return Apply(o, 1, [percent, random](clsImageProcessDIB& fx, clsDIBSection& dib) {
        fx.AddNoise(dib, percent, random);
    });
}

int RunNegative(const std::vector<std::string>& args) {
    return Apply(ParseOptions(args, {}, {}), 0, [](clsImageProcessDIB&, clsDIBSection& dib) { NegativeDIB(dib); });
}

template <int32_t kMirror>
int RunMirror(const std::vector<std::string>& args) {
    return Apply(ParseOptions(args, {}, {}), 0, [](clsImageProcessDIB&, clsDIBSection& dib) { MirrorDIB(dib, kMirror); });
}

const Registrar kFilter({"filter",
                         "NAME IN OUT [--progress]\n"
                         "  NAME (FilterType): blur 1, blur-more 2, soften 3, soften-more 4, sharpen 5,\n"
                         "  sharpen-more 6, unsharpen 7, emboss 8, average 9, minimum 10, maximum 11;\n"
                         "  the Image menu's Blur, Soften, Sharpen, Unsharpen, Emboss use 1, 3, 5, 7, 8",
                         RunFilter});
const Registrar kFade({"fade", "N IN OUT [--progress]   Fade: every byte * N / 255, N 0..255", RunFade});
const Registrar kLighten({"lighten", "N IN OUT [--progress]   Lighten: lightness * (1 + N / 100)", RunLighten});
const Registrar kColourise({"colourise",
                            "HUE IN OUT [--saturation S] [--progress]   Color Glasses: hue in sixths "
                            "(0 red .. 4 blue, -1..5), S for greys and reds, default 0.5",
                            RunColourise});
const Registrar kNoise({"noise",
                        "PERCENT IN OUT [--random] [--seed N] [--progress]   Noise: range PERCENT * 128 / 100; "
                        "--random treats only pixels whose draw * 100 exceeds PERCENT",
                        RunNoise});
const Registrar kNegative({"negative", "IN OUT   Negative: every byte inverted", RunNegative});
const Registrar kMirrorH({"mirror-h", "IN OUT   Mirror left-right (menu index 0)", RunMirror<eMirrorLeftRight>});
const Registrar kMirrorV({"mirror-v", "IN OUT   Mirror top-bottom (menu index 1)", RunMirror<eMirrorTopBottom>});
const Registrar kMirrorHV({"mirror-hv", "IN OUT   Mirror both ways (menu index 2)", RunMirror<eMirrorBoth>});

}  // namespace
}  // namespace plenvue::cli
