#pragma once

// Small tables for every LUT slot, each a different function of the colour so
// a table landing in the wrong slot, or one left out, changes the picture.

#include <cmath>
#include <map>
#include <string>

#include "scratch_bundle.h"

namespace plugin_integration {

using ChromvaleBeta2::testing::cubeText1D;
using ChromvaleBeta2::testing::cubeText3D;
using ChromvaleBeta2::testing::Rgb;

inline const std::map<std::string, std::string>& lookTables() {
    static const std::map<std::string, std::string> tables = {
        {"GAMUT LIMIT/R_Gamut_LImit.cube", cubeText3D(5,
                                                      [](float r, float g, float b) {
                                                          return Rgb{0.8f * r + 0.1f, g, b};
                                                      })},
        {"GAMUT LIMIT/G_Gamut_Limit.cube", cubeText3D(5,
                                                      [](float r, float g, float b) {
                                                          return Rgb{r, 0.7f * g + 0.2f, b};
                                                      })},
        {"GAMUT LIMIT/B_Gamut_Limit.cube", cubeText3D(5,
                                                      [](float r, float g, float b) {
                                                          return Rgb{r, g, b * b};
                                                      })},
        {"1-IDT/ARRI-LOGC-IDT-65.cube", cubeText3D(9,
                                                   [](float r, float g, float b) {
                                                       return Rgb{g, b, r};
                                                   })},
        {"2-CURVES/F2.cube", cubeText1D(17,
                                        [](float v, float, float) {
                                            return Rgb{std::pow(v, 1.5f), std::pow(v, 0.8f), 1.0f - 0.5f * v};
                                        })},
        {"3C-MAJOR/Major E_1.cube", cubeText3D(7,
                                               [](float r, float g, float b) {
                                                   return Rgb{r * g, std::sqrt(b), 0.5f * r + 0.3f};
                                               })},
        {"PRINT/Fuji CP 3510.cube", cubeText3D(5,
                                               [](float r, float g, float b) {
                                                   return Rgb{1.0f - r, g * 0.9f, b};
                                               })},
        {"POST PROCESS/ENR.cube", cubeText3D(5,
                                             [](float r, float g, float b) {
                                                 return Rgb{(r + g + b) / 3.0f, g, 0.2f};
                                             })},
        {"4-ODT/sRGB-ODT-65.cube", cubeText3D(9,
                                              [](float r, float g, float b) {
                                                  return Rgb{std::sqrt(r), g * g, b};
                                              })},
        {"4-ODT/REC709-ODT-65.cube", cubeText3D(3)},
        {"KORVO/KORVO_ZONES_000.cube", cubeText3D(3,
                                                  [](float, float, float) {
                                                      return Rgb{0.25f, 0.5f, 0.75f};
                                                  })},
    };
    return tables;
}

}  // namespace plugin_integration
