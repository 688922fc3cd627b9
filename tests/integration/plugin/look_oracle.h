#pragma once

// The colour chain evaluated directly, as the oracle for what the plug-in
// renders or exports: the same .cube texts parsed here, the gathered values
// written out by hand, the settings reduced and the chain run per colour.

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

#include "formats/cube_reader.h"
#include "pipeline/cpu_chain.h"
#include "pipeline/set_settings.h"

namespace plugin_integration {

class LookOracle {
 public:
    // `texts` maps archive entry names to .cube text; it must outlive the oracle.
    explicit LookOracle(const std::map<std::string, std::string>& texts) : m_texts(texts) {}

    const ChromvaleBeta2::LutTable* table(const std::string& entry) {
        auto [slot, added] = m_tables.try_emplace(entry);
        if (added) {
            slot->second.name = entry;
            EXPECT_TRUE(ChromvaleBeta2::parseCube(slot->second, m_texts.at(entry).c_str())) << entry;
        }
        return &slot->second;
    }

    // The values a fresh instance gathers.
    ChromvaleBeta2::LookParams defaultLook() {
        ChromvaleBeta2::LookParams p{};
        p.gamma = p.gammaR = p.gammaG = p.gammaB = 1;
        p.gain = p.gainR = p.gainG = p.gainB = 1;
        p.CMYAmount = p.C = p.M = p.Y = 1;
        p.PushPullLight = p.PushPullLightR = p.PushPullLightG = p.PushPullLightB = 1;
        p.gamutRAdjustValue = p.gamutGAdjustValue = p.gamutBAdjustValue = 1;
        p.contrastIntensity = 0.5f;
        p.globalBlend = 1;
        p.outputProfileOptions = 16;
        p.odtTable = table("4-ODT/REC709-ODT-65.cube");
        return p;
    }

    // The chain's RGBA output for one colour under the gathered values.
    static std::array<float, 4> colour(const ChromvaleBeta2::LookParams& look, const std::array<float, 4>& s) {
        ChromvaleBeta2::PipelineSettings settings{};
        ChromvaleBeta2::setSettings(settings, look);
        const auto out = ChromvaleBeta2::processColour(settings, ChromvaleBeta2::make_float4(s[0], s[1], s[2], s[3]));
        return {out.x, out.y, out.z, out.w};
    }

 private:
    const std::map<std::string, std::string>& m_texts;
    std::map<std::string, ChromvaleBeta2::LutTable> m_tables;
};

}  // namespace plugin_integration
