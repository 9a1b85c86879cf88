#include "core/setup/AdvancedModel.h"
#include "core/setup/SetupIds.h"
#include "tests/core/setup/SetupModelSupport.h"

#include <gtest/gtest.h>

using namespace omnar;
using namespace omnar::setup;
using namespace std::chrono_literals;
namespace ids = omnar::setup::advanced_ids;
using test::ScriptedDevice;

namespace {

constexpr int kCustomForm[] = {ids::IDC_CUSTOM_WIDTH, ids::IDC_CUSTOM_HEIGHT, ids::IDC_CUSTOM_RATE,
                               ids::IDC_CUSTOM_SAVE};

struct AdvancedFixture : ::testing::Test {
    test::ModelRig rig;
    void reportIndex(std::uint8_t index, std::uint8_t id = 1)
    {
        rig.device->setAnswer(3, ScriptedDevice::answer(id, {index}));
    }
};

} // namespace

TEST_F(AdvancedFixture, OpeningSelectsTheDevicesMode)
{
    AdvancedModel model(1, false);
    SetupAction opening = model.open();
    EXPECT_EQ(opening.view.title, "Resolution");
    EXPECT_EQ(opening.view.text(ids::IDC_CUSTOM_RATE_LABEL), "Hz");
    ASSERT_EQ(opening.view.items.at(ids::IDC_RESOLUTION_LIST).size(), 10u);
    EXPECT_EQ(opening.view.items.at(ids::IDC_RESOLUTION_LIST)[9], "1536x1536@60Hz");
    EXPECT_EQ(opening.view.isEnabled(ids::IDC_RESOLUTION_LIST), false) << "until the mode is known";
    EXPECT_EQ(opening.progressKind, 0);

    reportIndex(15);
    SetupView v = rig.run(model, std::move(opening));
    EXPECT_EQ(v.selection(ids::IDC_RESOLUTION_LIST), 9);
    EXPECT_EQ(v.isEnabled(ids::IDC_RESOLUTION_LIST), true);
    for (int id : kCustomForm)
        EXPECT_EQ(v.isEnabled(id), false);

    for (auto [index, position] : {std::pair{12, -1}, std::pair{8, 8}, std::pair{0, 0}}) {
        AdvancedModel m(1, true);
        reportIndex(static_cast<std::uint8_t>(index));
        EXPECT_EQ(rig.run(m, m.open()).selection(ids::IDC_RESOLUTION_LIST), position) << index;
    }
    AdvancedModel foreign(1, false);
    reportIndex(8, 2);
    EXPECT_EQ(rig.run(foreign, foreign.open()).selection(ids::IDC_RESOLUTION_LIST), -1);
}

TEST_F(AdvancedFixture, ACustomModeFillsAndEnablesTheForm)
{
    reportIndex(16);
    rig.device->setAnswer(15, ScriptedDevice::answer(1, {15, 0x05, 0x00, 0x02, 0xD0, 50}));
    AdvancedModel model(1, false);
    const SetupView v = rig.run(model, model.open());
    EXPECT_EQ(v.selection(ids::IDC_RESOLUTION_LIST), -1);
    for (int id : kCustomForm)
        EXPECT_EQ(v.isEnabled(id), true);
    EXPECT_EQ(v.text(ids::IDC_CUSTOM_WIDTH), "1280");
    EXPECT_EQ(v.text(ids::IDC_CUSTOM_HEIGHT), "720");
    EXPECT_EQ(v.text(ids::IDC_CUSTOM_RATE), "50");

    // A pick runs under the progress window and leaves the form disabled.
    const SetupAction pick = model.select(9);
    EXPECT_EQ(pick.progressKind, kProgressChangingResolution);
    const auto before = rig.clock.steadyNow();
    const SetupView after = rig.run(model, pick);
    EXPECT_EQ(rig.clock.steadyNow() - before, 11000ms) << "the frame's second, then ten for the device";
    EXPECT_EQ(rig.lastFrame(), (std::vector<int>{0x0D, 15, 0, 0, 0, 0, 0, 0, 0, 0}));
    for (int id : kCustomForm)
        EXPECT_EQ(after.isEnabled(id), false);
    EXPECT_TRUE(model.select(10).empty());
}

TEST_F(AdvancedFixture, CustomSaveChecksTheDotClock)
{
    AdvancedModel english(1, false);
    SetupAction refused = english.saveCustom("1920", "1080", "70");
    EXPECT_FALSE(refused.job);
    ASSERT_TRUE(refused.view.message);
    EXPECT_EQ(refused.view.message->text, "Dotlock out of range，range is 25999001~164998999");
    EXPECT_EQ(refused.view.message->caption, "System information");
    EXPECT_EQ(refused.view.message->languageId, 1033);

    AdvancedModel chinese(1, true);
    refused = chinese.saveCustom("99999999999", "1080", "60");
    EXPECT_EQ(refused.view.message->caption, "系统消息");
    EXPECT_EQ(refused.view.message->languageId, 2052);

    const SetupAction accepted = english.saveCustom("1920", "1080", "60");
    EXPECT_EQ(accepted.progressKind, kProgressChangingDotClock);
    rig.run(english, accepted);
    EXPECT_EQ(rig.lastFrame(), (std::vector<int>{0x0F, 0, 0x07, 0x80, 0x04, 0x38, 0x3C, 0, 0, 0}));
}
