#include "tools/tonemill/bake_clf.h"

#include <cstdio>
#include <filesystem>
#include <thread>

#include "formats/look_clf_action.h"
#include "host/property_set.h"
#include "ofxCore.h"
#include "tools/tonemill/bundle_locator.h"
#include "tools/tonemill/cli_error.h"
#include "tools/tonemill/effect_session.h"
#include "tools/tonemill/message_text.h"
#include "tools/tonemill/output_file.h"

namespace tonemill::cli {
namespace {

namespace fs = std::filesystem;

// The look's name: the first look file's, else the output's own stem.
std::string lookName(const CommandLine& line, const fs::path& fallback) {
    for (const Assignment& a : line.assignments) {
        const auto colon = a.origin.rfind(':');
        if (a.origin != "--set" && colon != std::string::npos)
            return fs::path(a.origin.substr(0, colon)).stem().string();
    }
    return fallback.stem().string();
}

std::vector<std::string> settingLines(const CommandLine& line, const std::string& name) {
    std::vector<std::string> lines = {"Look " + name +
                                      ", by tonemill bake: working space ACEScct in, "
                                      "the output profile's encoding out."};
    if (line.assignments.empty()) lines.push_back("Every parameter at its default.");
    // Where each setting came from, by file name: the folders are this machine's.
    for (const Assignment& a : line.assignments)
        lines.push_back("Setting " + a.name + " = " + a.value + " (" + fs::path(a.origin).filename().string() + ")");
    if (!line.assignments.empty()) lines.push_back("Every other parameter at its default.");
    return lines;
}

struct WrittenClf {
    std::string outputProfile;  // option text; empty without an output transform
};

WrittenClf writeClf(const CommandLine& line, const fs::path& target, const std::string& name) {
    if (line.given.count("--size")) throw UsageError("--size sets a .cube lattice; a CLF keeps each table's own size");
    const unsigned threads = line.threads ? line.threads : std::max(1u, std::thread::hardware_concurrency());
    EffectSession session(locateBundle(line.bundle), threads);
    session.apply(line.assignments);
    if (session.showsTestViews())
        std::fputs("tonemill: warning: test views are never baked; their toggles have no effect on bake\n", stderr);

    host::PropertySet in("write look CLF in-arguments", false);
    in.set(kOfxPropTime, 0.0);
    in.set(ChromvaleBeta2::kClfPropPath, target.string());
    in.set(ChromvaleBeta2::kClfPropName, name);
    in.setStrings(ChromvaleBeta2::kClfPropDescription, settingLines(line, name));
    host::PropertySet out("write look CLF out-arguments", false);
    const OfxStatus status = session.instance().action(ChromvaleBeta2::kWriteLookClfAction, &in, &out);
    if (status != kOfxStatOK) {
        const std::string why = out.has(ChromvaleBeta2::kClfPropError) ? out.getString(ChromvaleBeta2::kClfPropError)
                                                                       : "the plug-in answered " + statusName(status);
        throw CliError("cannot write " + quotedText(target.string()) + ": " + why);
    }
    if (out.has(ChromvaleBeta2::kClfPropInexact))
        for (const std::string& note : out.getStrings(ChromvaleBeta2::kClfPropInexact))
            std::fprintf(stderr, "tonemill: warning: %s: not exact: %s\n", target.string().c_str(), note.c_str());
    return {out.has(ChromvaleBeta2::kClfPropOutputProfile) ? out.getString(ChromvaleBeta2::kClfPropOutputProfile)
                                                           : std::string()};
}

// YAML's double-quoted form.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string configText(const std::string& look, const std::string& clfFile, const std::string& outputProfile) {
    const std::string display = outputProfile.empty() ? "ACEScct" : outputProfile;
    return "ocio_profile_version: 2\n"
           "\n"
           "description: " +
           quoted("The look " + look +
                  ", written by tonemill bake. The look's CLF ends with its output transform, so its view "
                  "shows the display encoding of " +
                  display + ".") +
           "\n"
           "search_path: \".\"\n"
           "strictparsing: true\n"
           "\n"
           "roles:\n"
           "  default: ACEScct\n"
           "  color_timing: ACEScct\n"
           "  compositing_log: ACEScct\n"
           "  scene_linear: ACEScg\n"
           "  aces_interchange: ACES2065-1\n"
           "\n"
           "file_rules:\n"
           "  - !<Rule> {name: Default, colorspace: ACEScct}\n"
           "\n"
           "displays:\n"
           "  " +
           quoted(display) +
           ":\n"
           "    - !<View> {name: " +
           quoted(look) + ", colorspace: ACEScct, looks: " + quoted(look) +
           "}\n"
           "    - !<View> {name: Ungraded, colorspace: ACEScct}\n"
           "\n"
           "looks:\n"
           "  - !<Look>\n"
           "    name: " +
           quoted(look) +
           "\n"
           "    process_space: ACEScct\n"
           "    description: " +
           quoted("The Tonemill look " + look + ", stage by stage") +
           "\n"
           "    transform: !<FileTransform> {src: " +
           quoted(clfFile) +
           "}\n"
           "\n"
           "colorspaces:\n"
           "  - !<ColorSpace>\n"
           "    name: ACES2065-1\n"
           "    family: ACES\n"
           "    encoding: scene-linear\n"
           "    description: \"The reference: AP0 primaries, linear\"\n"
           "\n"
           "  - !<ColorSpace>\n"
           "    name: ACEScct\n"
           "    family: ACES\n"
           "    encoding: log\n"
           "    description: \"Tonemill's working space: AP1 primaries, ACEScct encoding\"\n"
           "    to_scene_reference: !<BuiltinTransform> {style: ACEScct_to_ACES2065-1}\n"
           "\n"
           "  - !<ColorSpace>\n"
           "    name: ACEScg\n"
           "    family: ACES\n"
           "    encoding: scene-linear\n"
           "    description: \"AP1 primaries, linear\"\n"
           "    to_scene_reference: !<BuiltinTransform> {style: ACEScg_to_ACES2065-1}\n";
}

}  // namespace

int bakeClf(const CommandLine& line, const std::string& target) {
    writeClf(line, target, lookName(line, target));
    return 0;
}

int bakeOcioConfig(const CommandLine& line, const std::string& target) {
    const fs::path config(target);
    const std::string look = lookName(line, config.parent_path().filename().empty() ? config : config.parent_path());
    const std::string clfFile = look + ".clf";
    const WrittenClf clf = writeClf(line, config.parent_path() / clfFile, look);
    const std::string text = configText(look, clfFile, clf.outputProfile);
    OutputFile file(target);
    file.append(text.data(), text.size());
    file.commit();
    return 0;
}

}  // namespace tonemill::cli
