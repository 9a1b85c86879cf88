// The setup window's widgets: building each group and laying out the window.
// Its behaviour is in CSetScreen.cpp.

#include "gui/setup/CSetScreen.h"

#include "core/setup/SetupIds.h"
#include "core/setup/SetupView.h"
#include "gui/setup/PreviewArea.h"
#include "gui/setup/SetupControls.h"
#include "gui/setup/SpinArrows.h"
#include "gui/widgets/BlueCaption.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace omnar::gui::setup {

namespace core = omnar::setup;
namespace ids = omnar::setup::screen_ids;
using core::WindowGroup;

namespace {

// Preview areas: 129 x 74 dialog units.
constexpr QSize kAreaSize(224, 128);
constexpr int kEditWidth = 64;

QColor fillOf(int id)
{
    const auto rgb = core::previewFill(id).value_or(core::Rgb{});
    return QColor(rgb.r, rgb.g, rgb.b);
}

} // namespace

template <typename W>
W* CSetScreen::add(int id, W* widget)
{
    m_controls->add(id, widget);
    if (core::isSectionTitle(id))
        widgets::markBlueCaption(widget);
    if (core::isMarkedEdit(id))
        m_controls->setMarked(id, false);
    return widget;
}

QLabel* CSetScreen::makeLabel(int id)
{
    return add(id, new QLabel);
}

QLineEdit* CSetScreen::makeNumberEdit(int id, QLabel* buddy)
{
    auto* e = add(id, new QLineEdit);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
    e->setFixedWidth(kEditWidth);
    // Named by the text beside it.
    if (buddy)
        buddy->setBuddy(e);
    connect(e, &QLineEdit::textEdited, this, [this, id] { applyView(m_model.editChanged(id)); });
    return e;
}

QPushButton* CSetScreen::makeButton(int id)
{
    auto* b = add(id, new QPushButton);
    b->setAutoDefault(false);
    b->setMinimumWidth(64);
    return b;
}

QRadioButton* CSetScreen::makeRadio(int id)
{
    return add(id, new QRadioButton);
}

QGroupBox* CSetScreen::makeGroup(int id)
{
    return add(id, new QGroupBox);
}

PreviewArea* CSetScreen::buildArea(int areaId, std::initializer_list<int> rectIds)
{
    auto* area = add(areaId, new PreviewArea(kAreaSize));
    area->setAccessibleName(QStringLiteral("Preview"));
    area->setPlacer([this](int rectId, const core::PixelRect& r) { return m_model.previewRect(rectId, r); });
    for (int rectId : rectIds) {
        QLabel* r = add(rectId, area->addRect(rectId, fillOf(rectId)));
        // MAIN and PBP are named by their captions; the output window has none.
        r->setAccessibleName(QStringLiteral("Output"));
    }
    m_areas << area;
    return area;
}

// ---------------------------------------------------------------- left column

QGroupBox* CSetScreen::buildKeyingGroup()
{
    QGroupBox* group = makeGroup(ids::IDC_KEY_GROUP);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(4);

    auto* radios = new QHBoxLayout;
    auto* buttons = new QButtonGroup(group);
    for (int id : {ids::IDC_KEY_BELOW, ids::IDC_KEY_ABOVE}) {
        QRadioButton* r = makeRadio(id);
        buttons->addButton(r);
        radios->addWidget(r);
    }
    radios->addStretch(1);
    grid->addLayout(radios, 0, 0, 1, 7);

    struct Colour {
        int label, edit, spin;
    };
    const Colour colours[] = {{ids::IDC_KEY_RED_LABEL, ids::IDC_KEY_RED, ids::IDC_KEY_RED_SPIN},
                              {ids::IDC_KEY_GREEN_LABEL, ids::IDC_KEY_GREEN, ids::IDC_KEY_GREEN_SPIN},
                              {ids::IDC_KEY_BLUE_LABEL, ids::IDC_KEY_BLUE, ids::IDC_KEY_BLUE_SPIN}};
    int col = 0;
    for (const Colour& c : colours) {
        QLabel* label = makeLabel(c.label);
        QLineEdit* edit = makeNumberEdit(c.edit, label);
        edit->setFixedWidth(44);
        auto* spin = add(c.spin, new SpinArrows);
        connect(spin, &SpinArrows::stepped, this, [this, spinId = c.spin, editId = c.edit](int delta) {
            applyView(m_model.spin(spinId, m_controls->text(editId).toStdString(), delta));
        });
        grid->addWidget(label, 1, col, 1, 2);
        grid->addWidget(edit, 2, col);
        grid->addWidget(spin, 2, col + 1);
        grid->setColumnMinimumWidth(col + 1, 22);
        col += 2;
    }
    grid->setColumnStretch(6, 1);
    grid->addWidget(makeButton(ids::IDC_KEY_SAVE), 2, 6, Qt::AlignRight);
    return group;
}

void CSetScreen::addSettingRow(QGridLayout* grid, int row, QLabel* title, int editId, QWidget* rangeLabel,
                               int saveId, int resetId)
{
    grid->addWidget(title, row, 0, 1, 4);
    grid->addWidget(makeNumberEdit(editId, title), row + 1, 0);
    grid->addWidget(rangeLabel, row + 1, 1);
    grid->addWidget(makeButton(saveId), row + 1, 2);
    grid->addWidget(makeButton(resetId), row + 1, 3);
}

QLayout* CSetScreen::buildPictureRows()
{
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("pictureFrame"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(3);
    // The fixed range labels carry no control id of their own.
    auto rangeLabel = [frame](const char* name) {
        auto* l = new QLabel(QString::fromUtf8(core::kRangeLabel100.data(), core::kRangeLabel100.size()), frame);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    addSettingRow(grid, 0, makeLabel(ids::IDC_BRIGHTNESS_TITLE), ids::IDC_BRIGHTNESS,
                  makeLabel(ids::IDC_BRIGHTNESS_RANGE), ids::IDC_BRIGHTNESS_SAVE, ids::IDC_BRIGHTNESS_RESET);
    grid->setRowMinimumHeight(2, 8);
    addSettingRow(grid, 3, makeLabel(ids::IDC_BIAS_TITLE), ids::IDC_BIAS, rangeLabel("IDC_STATIC_BIAS_RANGE"),
                  ids::IDC_BIAS_SAVE, ids::IDC_BIAS_RESET);
    grid->setRowMinimumHeight(5, 8);
    addSettingRow(grid, 6, makeLabel(ids::IDC_COLOUR_TITLE), ids::IDC_COLOUR,
                  rangeLabel("IDC_STATIC_COLOUR_RANGE"), ids::IDC_COLOUR_SAVE, ids::IDC_COLOUR_RESET);
    grid->setColumnStretch(1, 1);

    auto* box = new QVBoxLayout;
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(frame);
    return box;
}

QLayout* CSetScreen::buildSharpnessRow()
{
    auto* v = new QVBoxLayout;
    v->addWidget(makeLabel(ids::IDC_SHARPNESS_TITLE));
    auto* radios = new QHBoxLayout;
    auto* buttons = new QButtonGroup(this);
    for (int id : {ids::IDC_SHARPNESS_NORMAL, ids::IDC_SHARPNESS_SHARP}) {
        QRadioButton* r = makeRadio(id);
        buttons->addButton(r);
        radios->addWidget(r);
    }
    radios->addStretch(1);
    v->addLayout(radios);
    return v;
}

// ---------------------------------------------------------------- right column

QGroupBox* CSetScreen::buildWindowGroup(WindowGroup which, int groupId, const int (&labelIds)[4])
{
    QGroupBox* group = makeGroup(groupId);
    const core::WindowControls& c = core::windowControls(which);
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(3);
    const int edits[] = {c.width, c.hstart, c.height, c.vstart};
    for (int i = 0; i < 4; ++i) {
        QLabel* label = makeLabel(labelIds[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(makeNumberEdit(edits[i], label), i, 1);
    }
    grid->addWidget(makeButton(c.save), 4, 1, Qt::AlignRight);
    grid->setColumnStretch(0, 1);
    return group;
}

QGroupBox* CSetScreen::buildWindowsGroup()
{
    QGroupBox* group = makeGroup(ids::IDC_WINDOWS_GROUP);
    auto* left = new QVBoxLayout;
    left->addWidget(buildWindowGroup(WindowGroup::Main, ids::IDC_MAIN_GROUP,
                                     {ids::IDC_MAIN_WIDTH_LABEL, ids::IDC_MAIN_HSTART_LABEL,
                                      ids::IDC_MAIN_HEIGHT_LABEL, ids::IDC_MAIN_VSTART_LABEL}));
    left->addWidget(buildWindowGroup(WindowGroup::Pip, ids::IDC_PIP_GROUP,
                                     {ids::IDC_PIP_WIDTH_LABEL, ids::IDC_PIP_HSTART_LABEL, ids::IDC_PIP_HEIGHT_LABEL,
                                      ids::IDC_PIP_VSTART_LABEL}));
    left->addStretch(1);

    QGroupBox* layouts = makeGroup(ids::IDC_LAYOUT_GROUP);
    auto* radios = new QHBoxLayout(layouts);
    auto* buttons = new QButtonGroup(layouts);
    for (int id : {ids::IDC_M1, ids::IDC_M2, ids::IDC_M3}) {
        QRadioButton* r = makeRadio(id);
        buttons->addButton(r);
        radios->addWidget(r);
    }

    auto* right = new QVBoxLayout;
    right->addWidget(layouts);
    right->addSpacing(6);
    right->addWidget(makeLabel(ids::IDC_MAIN_ORIGIN), 0, Qt::AlignLeft);
    // PBP lies over MAIN, as on the screen.
    right->addWidget(buildArea(ids::IDC_MAIN_AREA, {ids::IDC_MAIN_RECT, ids::IDC_PIP_RECT}));
    right->addWidget(makeLabel(ids::IDC_MAIN_CORNER), 0, Qt::AlignRight);
    QLabel* note = makeLabel(ids::IDC_PIP_NOTE);
    note->setWordWrap(true);
    note->setMaximumWidth(kAreaSize.width());
    right->addWidget(note);
    right->addStretch(1);

    auto* h = new QHBoxLayout(group);
    h->addLayout(left, 1);
    h->addSpacing(6);
    h->addLayout(right);
    return group;
}

QGroupBox* CSetScreen::buildOutputGroup(WindowGroup which, int groupId, const int (&labelIds)[4], int originId,
                                        int cornerId)
{
    QGroupBox* group = makeGroup(groupId);
    const core::WindowControls& c = core::windowControls(which);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(3);
    const int edits[] = {c.width, c.hstart, c.height, c.vstart};
    for (int i = 0; i < 4; ++i) {
        QLabel* label = makeLabel(labelIds[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(makeNumberEdit(edits[i], label), i, 1);
    }
    grid->addWidget(makeButton(c.save), 4, 1, Qt::AlignRight);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(5, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(makeLabel(originId), 0, Qt::AlignLeft);
    right->addWidget(buildArea(c.area, {c.rect}));
    right->addWidget(makeLabel(cornerId), 0, Qt::AlignRight);

    auto* h = new QHBoxLayout(group);
    h->addLayout(grid, 1);
    h->addSpacing(6);
    h->addLayout(right);
    return group;
}

QLayout* CSetScreen::buildBottomRow()
{
    auto* row = new QHBoxLayout;
    QLabel* label = makeLabel(ids::IDC_INFO_LABEL);
    auto* info = add(ids::IDC_INFO, new QLineEdit);
    info->setReadOnly(true);
    label->setBuddy(info);
    row->addWidget(label);
    row->addWidget(info, 1);
    row->addSpacing(12);
    row->addWidget(makeButton(ids::IDC_REFRESH));
    row->addWidget(makeButton(ids::IDC_EXIT));
    return row;
}

// ---------------------------------------------------------------- the groups shown with --advanced

QGroupBox* CSetScreen::buildAudioGroup()
{
    QGroupBox* group = makeGroup(ids::IDC_AUDIO_GROUP);
    auto* grid = new QGridLayout(group);
    int row = 0;
    for (auto [labelId, listId] : {std::pair{ids::IDC_AUDIO1_LABEL, ids::IDC_AUDIO1},
                                   std::pair{ids::IDC_AUDIO2_LABEL, ids::IDC_AUDIO2}}) {
        QLabel* label = makeLabel(labelId);
        auto* list = add(listId, new QComboBox);
        label->setBuddy(list);
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row, 1);
        ++row;
    }
    grid->addWidget(makeButton(ids::IDC_AUDIO_SAVE), row, 1, Qt::AlignRight);
    grid->setRowStretch(row + 1, 1);
    return group;
}

QGroupBox* CSetScreen::buildHotSpareGroup()
{
    QGroupBox* group = makeGroup(ids::IDC_SPARE_GROUP);
    auto* v = new QVBoxLayout(group);
    for (int id : {ids::IDC_SPARE_V1_V2, ids::IDC_SPARE_HDMI_DVI, ids::IDC_SPARE_VGA1_VGA2})
        v->addWidget(add(id, new QCheckBox));
    v->addWidget(makeButton(ids::IDC_SPARE_SAVE), 0, Qt::AlignRight);
    v->addStretch(1);
    return group;
}

QGroupBox* CSetScreen::buildModeGroups()
{
    QGroupBox* mosaic = makeGroup(ids::IDC_MOSAIC_MODE_GROUP);
    auto* v = new QVBoxLayout(mosaic);
    auto* mosaicButtons = new QButtonGroup(mosaic);
    for (int id : {ids::IDC_MOSAIC_NO_SYNC, ids::IDC_MOSAIC_SYNC}) {
        QRadioButton* r = makeRadio(id);
        mosaicButtons->addButton(r);
        v->addWidget(r);
    }
    v->addSpacing(6);
    v->addWidget(makeLabel(ids::IDC_V2_MODE_LABEL));
    auto* v2 = new QHBoxLayout;
    auto* v2Buttons = new QButtonGroup(mosaic);
    for (int id : {ids::IDC_V2_MODE_V2, ids::IDC_V2_MODE_YPBPR}) {
        QRadioButton* r = makeRadio(id);
        v2Buttons->addButton(r);
        v2->addWidget(r);
    }
    v2->addStretch(1);
    v->addLayout(v2);
    v->addStretch(1);
    return mosaic;
}

QWidget* CSetScreen::buildSourceColours()
{
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("sourceColoursFrame"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(3);
    struct Row {
        const char* source;
        const char* labelName;
        int edit, save, reset;
    };
    const Row rows[] = {
        {"V1", "IDC_STATIC_COLOUR_V1", ids::IDC_COLOUR_V1, ids::IDC_COLOUR_V1_SAVE, ids::IDC_COLOUR_V1_RESET},
        {"V2", "IDC_STATIC_COLOUR_V2", ids::IDC_COLOUR_V2, ids::IDC_COLOUR_V2_SAVE, ids::IDC_COLOUR_V2_RESET},
        {"HDMI", "IDC_STATIC_COLOUR_HDMI", ids::IDC_COLOUR_HDMI, ids::IDC_COLOUR_HDMI_SAVE,
         ids::IDC_COLOUR_HDMI_RESET},
        {"DP", "IDC_STATIC_COLOUR_DP", ids::IDC_COLOUR_DP, ids::IDC_COLOUR_DP_SAVE, ids::IDC_COLOUR_DP_RESET},
        {"EXT.", "IDC_STATIC_COLOUR_EXT", ids::IDC_COLOUR_EXT, ids::IDC_COLOUR_EXT_SAVE, ids::IDC_COLOUR_EXT_RESET},
        {"YPbPr", "IDC_STATIC_COLOUR_YPBPR", ids::IDC_COLOUR_YPBPR, ids::IDC_COLOUR_YPBPR_SAVE,
         ids::IDC_COLOUR_YPBPR_RESET},
    };
    int r = 0;
    for (const Row& row : rows) {
        // The source a row's colour belongs to; no control id of its own.
        auto* label = new QLabel(QString::fromLatin1(row.source), frame);
        label->setObjectName(QString::fromLatin1(row.labelName));
        grid->addWidget(label, r, 0);
        grid->addWidget(makeNumberEdit(row.edit, label), r, 1);
        grid->addWidget(makeButton(row.save), r, 2);
        grid->addWidget(makeButton(row.reset), r, 3);
        ++r;
    }
    grid->setColumnStretch(0, 1);
    return frame;
}

// ---------------------------------------------------------------- the window

void CSetScreen::buildUi()
{
    auto* left = new QVBoxLayout;
    left->addWidget(buildKeyingGroup());
    left->addSpacing(8);
    left->addLayout(buildPictureRows());
    left->addSpacing(8);
    left->addLayout(buildSharpnessRow());
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(buildWindowsGroup());
    right->addWidget(buildOutputGroup(WindowGroup::Output, ids::IDC_OUTPUT_GROUP,
                                      {ids::IDC_OUTPUT_WIDTH_LABEL, ids::IDC_OUTPUT_HSTART_LABEL,
                                       ids::IDC_OUTPUT_HEIGHT_LABEL, ids::IDC_OUTPUT_VSTART_LABEL},
                                      ids::IDC_OUTPUT_ORIGIN, ids::IDC_OUTPUT_CORNER));

    auto* grid = new QGridLayout(this);
    grid->setSpacing(10);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addLayout(buildBottomRow(), 1, 0, 1, 2);

    // Below the Info line, the groups the window shows only with --advanced.
    auto* line = new QFrame;
    line->setObjectName(QStringLiteral("advancedLine"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    QWidget* colours = buildSourceColours();
    QGroupBox* output2 = buildOutputGroup(WindowGroup::HiddenOutput, ids::IDC_OUTPUT2_GROUP,
                                          {ids::IDC_OUTPUT2_WIDTH_LABEL, ids::IDC_OUTPUT2_HSTART_LABEL,
                                           ids::IDC_OUTPUT2_HEIGHT_LABEL, ids::IDC_OUTPUT2_VSTART_LABEL},
                                          ids::IDC_OUTPUT2_ORIGIN, ids::IDC_OUTPUT2_CORNER);
    QWidget* settings[] = {buildAudioGroup(), buildHotSpareGroup(), buildModeGroups()};
    grid->addWidget(line, 2, 0, 1, 2);
    grid->addWidget(colours, 3, 0, Qt::AlignTop);
    grid->addWidget(output2, 3, 1);
    auto* row = new QHBoxLayout;
    for (QWidget* w : settings)
        row->addWidget(w);
    row->addStretch(1);
    grid->addLayout(row, 4, 0, 1, 2);
    for (QWidget* w : std::initializer_list<QWidget*>{line, colours, output2, settings[0], settings[1], settings[2]})
        w->setVisible(m_context.advanced);
    // The window ends below the Info line unless the panel runs --advanced.
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace omnar::gui::setup
