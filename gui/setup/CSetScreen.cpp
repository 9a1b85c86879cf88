#include "gui/setup/CSetScreen.h"

#include "core/setup/SetupIds.h"
#include "gui/setup/PreviewArea.h"
#include "gui/setup/SetupControls.h"
#include "gui/widgets/QtText.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

namespace omnar::gui::setup {

namespace core = omnar::setup;
namespace ids = omnar::setup::screen_ids;
using core::WindowGroup;

namespace {

// The picture settings: the edit each Save sends and each Reset rewrites.
struct SettingRow {
    int edit, save, reset;
};
constexpr SettingRow kSettingRows[] = {
    {ids::IDC_BRIGHTNESS, ids::IDC_BRIGHTNESS_SAVE, ids::IDC_BRIGHTNESS_RESET},
    {ids::IDC_BIAS, ids::IDC_BIAS_SAVE, ids::IDC_BIAS_RESET},
    {ids::IDC_COLOUR, ids::IDC_COLOUR_SAVE, ids::IDC_COLOUR_RESET},
    {ids::IDC_COLOUR_V1, ids::IDC_COLOUR_V1_SAVE, ids::IDC_COLOUR_V1_RESET},
    {ids::IDC_COLOUR_V2, ids::IDC_COLOUR_V2_SAVE, ids::IDC_COLOUR_V2_RESET},
    {ids::IDC_COLOUR_HDMI, ids::IDC_COLOUR_HDMI_SAVE, ids::IDC_COLOUR_HDMI_RESET},
    {ids::IDC_COLOUR_DP, ids::IDC_COLOUR_DP_SAVE, ids::IDC_COLOUR_DP_RESET},
    {ids::IDC_COLOUR_EXT, ids::IDC_COLOUR_EXT_SAVE, ids::IDC_COLOUR_EXT_RESET},
    {ids::IDC_COLOUR_YPBPR, ids::IDC_COLOUR_YPBPR_SAVE, ids::IDC_COLOUR_YPBPR_RESET},
};

std::string str(const QString& s)
{
    return s.toStdString();
}

} // namespace

CSetScreen::CSetScreen(const DialogContext& context, QWidget* parent)
    : SetupDialog(context, &ids::controlName, parent)
    , m_model(context.device)
{
    setObjectName(QStringLiteral("CSetScreen"));
    buildUi();
    wire();
    run(m_model.open());
}

void CSetScreen::viewApplied(const core::SetupView& view)
{
    // Each pair of key-colour arrows is named by its colour.
    for (auto [spin, label] : {std::pair{ids::IDC_KEY_RED_SPIN, ids::IDC_KEY_RED_LABEL},
                               std::pair{ids::IDC_KEY_GREEN_SPIN, ids::IDC_KEY_GREEN_LABEL},
                               std::pair{ids::IDC_KEY_BLUE_SPIN, ids::IDC_KEY_BLUE_LABEL}})
        if (view.texts.contains(label))
            control(spin)->setAccessibleName(controlText(label));
    for (int rectId : view.redraw)
        redraw(rectId);
}

void CSetScreen::redraw(int rectId)
{
    for (PreviewArea* area : std::as_const(m_areas)) {
        if (!area->hasRect(rectId))
            continue;
        area->place(rectId);
        // What the rectangle shows, for a screen reader.
        if (const auto group = core::groupForRect(rectId)) {
            const core::WindowRect& w = m_model.cache().of(*group);
            area->rectLabel(rectId)->setAccessibleDescription(
                QStringLiteral("%1x%2 (%3,%4)").arg(w.width).arg(w.height).arg(w.hstart).arg(w.vstart));
        }
    }
}

// ---------------------------------------------------------------- wiring

core::WindowTexts CSetScreen::windowTexts(WindowGroup group) const
{
    const core::WindowControls& c = core::windowControls(group);
    return {str(controlText(c.width)), str(controlText(c.hstart)), str(controlText(c.height)),
            str(controlText(c.vstart))};
}

void CSetScreen::saveWindow(WindowGroup group)
{
    run(m_model.saveWindow(group, windowTexts(group)));
}

void CSetScreen::onSave(int saveId)
{
    for (const SettingRow& row : kSettingRows)
        if (row.save == saveId)
            run(m_model.saveSetting(saveId, str(controlText(row.edit))));
}

void CSetScreen::onReset(int resetId)
{
    run(m_model.resetSetting(resetId));
}

void CSetScreen::onButton(int id, void (CSetScreen::*handler)(int))
{
    if (auto* b = qobject_cast<QAbstractButton*>(control(id)))
        connect(b, &QAbstractButton::clicked, this, [this, id, handler] { (this->*handler)(id); });
}

void CSetScreen::wire()
{
    auto clicked = [this](int id, auto action) {
        if (auto* b = qobject_cast<QAbstractButton*>(control(id)))
            connect(b, &QAbstractButton::clicked, this, action);
    };
    // Radios act on the operator's click or accessibility toggle only.
    auto activated = [this](int id, std::function<void()> action) {
        if (auto* b = qobject_cast<QAbstractButton*>(control(id)))
            m_controls->onActivated(b, std::move(action));
    };

    clicked(ids::IDC_REFRESH, [this] { run(m_model.refresh()); });
    clicked(ids::IDC_EXIT, [this] { reject(); });

    const int layouts[] = {ids::IDC_M1, ids::IDC_M2, ids::IDC_M3};
    for (int layout = 0; layout < 3; ++layout)
        activated(layouts[layout], [this, layout] { run(m_model.selectLayout(layout)); });

    for (WindowGroup g : {WindowGroup::Main, WindowGroup::Pip, WindowGroup::Output, WindowGroup::HiddenOutput})
        clicked(core::windowControls(g).save, [this, g] { saveWindow(g); });

    clicked(ids::IDC_KEY_SAVE, [this] {
        run(m_model.saveKeying(m_controls->isChecked(ids::IDC_KEY_ABOVE), str(controlText(ids::IDC_KEY_RED)),
                               str(controlText(ids::IDC_KEY_GREEN)), str(controlText(ids::IDC_KEY_BLUE))));
    });
    for (const SettingRow& row : kSettingRows) {
        onButton(row.save, &CSetScreen::onSave);
        onButton(row.reset, &CSetScreen::onReset);
    }

    activated(ids::IDC_SHARPNESS_NORMAL, [this] { run(m_model.setSharpness(false)); });
    activated(ids::IDC_SHARPNESS_SHARP, [this] { run(m_model.setSharpness(true)); });
    activated(ids::IDC_MOSAIC_NO_SYNC, [this] { run(m_model.setMosaicMode(false)); });
    activated(ids::IDC_MOSAIC_SYNC, [this] { run(m_model.setMosaicMode(true)); });
    activated(ids::IDC_V2_MODE_V2, [this] { run(m_model.setV2Mode(false)); });
    activated(ids::IDC_V2_MODE_YPBPR, [this] { run(m_model.setV2Mode(true)); });

    for (int listId : {ids::IDC_AUDIO1, ids::IDC_AUDIO2}) {
        auto* list = qobject_cast<QComboBox*>(control(listId));
        // The operator's choice only; a read-back selects without a word.
        connect(list, &QComboBox::activated, this, [this, listId] {
            applyView(m_model.audioChanged(listId, m_controls->selection(ids::IDC_AUDIO1),
                                           m_controls->selection(ids::IDC_AUDIO2)));
        });
    }
    clicked(ids::IDC_AUDIO_SAVE, [this] {
        run(m_model.saveAudio(m_controls->selection(ids::IDC_AUDIO1), m_controls->selection(ids::IDC_AUDIO2)));
    });
    clicked(ids::IDC_SPARE_SAVE, [this] {
        run(m_model.saveHotSpare(m_controls->isChecked(ids::IDC_SPARE_V1_V2),
                                 m_controls->isChecked(ids::IDC_SPARE_HDMI_DVI),
                                 m_controls->isChecked(ids::IDC_SPARE_VGA1_VGA2)));
    });
}

} // namespace omnar::gui::setup
