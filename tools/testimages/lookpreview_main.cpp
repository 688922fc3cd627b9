// tonemill-lookpreview: one contact sheet per LUT folder, so a person can
// judge the looks. Each thumbnail is the tone chart through one table of the
// folder and then the default output transform (the output tables are shown
// on their own), sampled exactly as the chain samples them. A text file beside
// each sheet names the thumbnails in order; each thumbnail carries its number.
#include <lodepng.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/cube_reader.h"
#include "lut_cuda.h"
#include "pipeline/lut_table.h"
#include "tools/testimages/bitmap_text.h"
#include "tools/testimages/png_file.h"

namespace fs = std::filesystem;
using ChromvaleBeta2::float4;
using ChromvaleBeta2::LutTable;
using ChromvaleBeta2::make_float4;
using namespace tonemill::testimages;

namespace {

constexpr const char* kDefaultOutput = "4-ODT/REC709-ODT-65.cube";
constexpr unsigned kThumbStep = 4;  // chart pixels per thumbnail pixel
constexpr unsigned kColumns = 4, kGap = 8;

LutTable readTable(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    LutTable table;
    if (!in || !ChromvaleBeta2::parseCube(table, text.str().c_str()))
        throw std::runtime_error("cannot read " + path.string());
    return table;
}

float4 sample(const LutTable& t, float4 c) {
    if (t.is3D()) return ChromvaleBeta2::lookup3D(t.data.data(), t.m_dims, c);
    return make_float4(ChromvaleBeta2::lookup1D(t.data.data(), t.m_dims, c.x).x,
                       ChromvaleBeta2::lookup1D(t.data.data(), t.m_dims, c.y).y,
                       ChromvaleBeta2::lookup1D(t.data.data(), t.m_dims, c.z).z, 1.0f);
}

struct Chart {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

Chart readChart(const std::string& path) {
    Chart chart;
    const unsigned error = lodepng::decode(chart.rgba, chart.width, chart.height, path);
    if (error) throw std::runtime_error(path + ": " + lodepng_error_text(error));
    return chart;
}

void drawThumbnail(Picture& sheet, unsigned x0, unsigned y0, const Chart& chart, const LutTable& look,
                   const LutTable* output, int number) {
    for (unsigned y = 0; y < chart.height / kThumbStep; ++y)
        for (unsigned x = 0; x < chart.width / kThumbStep; ++x) {
            const unsigned char* px = &chart.rgba[(size_t(y * kThumbStep) * chart.width + x * kThumbStep) * 4];
            float4 c = make_float4(px[0] / 255.0f, px[1] / 255.0f, px[2] / 255.0f, 1.0f);
            c = sample(look, c);
            if (output) c = sample(*output, c);
            setPixel(sheet, x0 + x, y0 + y, toByte(c.x), toByte(c.y), toByte(c.z));
        }
    drawText(sheet, std::to_string(number), x0 + 6, y0 + 6, 3, 250);
}

void writeSheet(const fs::path& folder, const Chart& chart, const LutTable* output, const fs::path& out) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".cube") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) return;
    const unsigned tw = chart.width / kThumbStep, th = chart.height / kThumbStep;
    const unsigned rows = unsigned(files.size() + kColumns - 1) / kColumns;
    Picture sheet(kColumns * (tw + kGap) + kGap, rows * (th + kGap) + kGap, 3);
    std::fill(sheet.bytes.begin(), sheet.bytes.end(), uint8_t(40));
    const std::string name = folder.filename().string();
    std::ofstream index(out / (name + ".txt"));
    for (size_t i = 0; i < files.size(); ++i) {
        const LutTable look = readTable(files[i]);
        drawThumbnail(sheet, kGap + unsigned(i % kColumns) * (tw + kGap), kGap + unsigned(i / kColumns) * (th + kGap),
                      chart, look, output, int(i + 1));
        index << i + 1 << '\t' << files[i].filename().string() << '\n';
    }
    writePng(sheet, (out / (name + ".png")).string());
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2) args[argv[i]] = argv[i + 1];
    if (argc != 7 || !args.count("--luts") || !args.count("--chart") || !args.count("--out")) {
        std::fprintf(stderr, "usage: tonemill-lookpreview --luts FOLDER --chart tonemap.png --out FOLDER\n");
        return 2;
    }
    try {
        const fs::path luts = args["--luts"], out = args["--out"];
        fs::create_directories(out);
        const Chart chart = readChart(args["--chart"]);
        const LutTable output = readTable(luts / kDefaultOutput);
        std::vector<fs::path> folders;
        for (const auto& e : fs::directory_iterator(luts))
            if (e.is_directory()) folders.push_back(e.path());
        std::sort(folders.begin(), folders.end());
        for (const fs::path& folder : folders)
            writeSheet(folder, chart, folder.filename() == "4-ODT" ? nullptr : &output, out);
        std::printf("tonemill-lookpreview: sheets in %s\n", out.string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tonemill-lookpreview: %s\n", e.what());
        return 1;
    }
    return 0;
}
