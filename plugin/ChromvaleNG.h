#pragma once

#include <map>
#include <string>
#include <string_view>

#include "formats/lut_archive.h"
#include "ofx/support/ofxsImageEffect.h"
#include "pipeline/look_params.h"

namespace ChromvaleBeta2 {

class ChromvaleProcessor;

// Whether a parameter of that name is one of the test view toggles.
bool isTestToggle(std::string_view name);

// One application of the effect: its clips, its parameters, its LUT archive,
// the enabled states that keep the interface consistent, and its render.
class ChromvaleNG : public OFX::ImageEffect {
 public:
    explicit ChromvaleNG(OfxImageEffectHandle handle);
    ~ChromvaleNG() override;

    void render(const OFX::RenderArguments& args) override;
    bool isIdentity(const OFX::IsIdentityArguments& args, OFX::Clip*& identityClip, double& identityTime) override;
    void changedParam(const OFX::InstanceChangedArgs& args, const std::string& paramName) override;
    // Writes the look as a CLF file at a host's request (kWriteLookClfAction).
    bool privateAction(const std::string& action, OFX::PropertySet& inArgs, OFX::PropertySet& outArgs) override;

    // Enables the intensity and stock list each driving choice makes relevant at `time`.
    void updateDependentParams(double time);

    // Reads every parameter at `time` into `values`; changes nothing, so renders and
    // the identity test may call it.
    void gatherLookParams(LookParams& values, double time);
    // Keeps the test toggles mutually exclusive, the zone guide off without a test
    // view and the export buttons off while the zone chart shows.
    void applyTestToggleRules(double time);
    // Opens the archive and fills the table slots the gathered values select.
    void resolveLuts(LookParams& values);
    void setupAndProcess(ChromvaleProcessor& processor, const OFX::RenderArguments& args);

    // Samples the look on a gridSize^3 lattice and saves it as a .cube file
    // the user picks; 0 when finished or cancelled, 2 after a caught error.
    int renderLUT(double time, int gridSize);

 private:
    OFX::DoubleParam& doubleParam(std::string_view name) const;
    OFX::BooleanParam& booleanParam(std::string_view name) const;
    OFX::ChoiceParam& choiceParam(std::string_view name) const;
    float readFloat(std::string_view name, double time) const;
    bool readBool(std::string_view name, double time) const;
    int readChoice(std::string_view name, double time) const;
    void setEnabled(std::string_view name, bool enabled) const;
    void enableExportButtons(bool enabled);
    void switchGuideOff();

    OFX::Clip* m_dstClip = nullptr;
    OFX::Clip* m_srcClip = nullptr;
    // Every value parameter of the catalogue, fetched once at construction.
    std::map<std::string_view, OFX::DoubleParam*> m_doubles;
    std::map<std::string_view, OFX::BooleanParam*> m_booleans;
    std::map<std::string_view, OFX::ChoiceParam*> m_choices;
    OFX::PushButtonParam* m_export33Button = nullptr;
    OFX::PushButtonParam* m_export65Button = nullptr;
    LutArchive m_archive;
};

}  // namespace ChromvaleBeta2
