#pragma once

#include "core/setup/SetScreenModel.h"
#include "gui/setup/SetupDialog.h"

class QAbstractButton;
class QBoxLayout;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace omnar::gui::setup {

class PreviewArea;

// "Screen Program": the device's output raster with its main, PIP and output
// windows drawn to scale, their sizes and positions, the picture settings
// and the text keying, each with its Save. Every decision is the model's
// (SetScreenModel); this window draws, wires, and runs the model's device
// jobs off the GUI thread, so it keeps repainting and moving while the
// device answers. Closing it (Exit, Esc, the close box) stops the running
// job at its next transaction boundary; nothing more is sent.
//
// The main window opens it modally on the Setup button:
//     CSetScreen dlg(context, this);
//     dlg.exec();
// Construction reads the device back at once.
class CSetScreen : public SetupDialog {
    Q_OBJECT
public:
    // Controls by screen_ids.
    explicit CSetScreen(const DialogContext& context, QWidget* parent = nullptr);

    const omnar::setup::SetScreenModel& model() const { return m_model; }
    bool isBusy() const override { return m_model.busy(); }

private:
    // ---- building (CSetScreenWidgets.cpp)
    void buildUi();
    QGroupBox* buildKeyingGroup();
    QLayout* buildPictureRows();
    QLayout* buildSharpnessRow();
    QGroupBox* buildWindowsGroup();
    QGroupBox* buildWindowGroup(omnar::setup::WindowGroup group, int groupId, const int (&labelIds)[4]);
    QGroupBox* buildOutputGroup(omnar::setup::WindowGroup group, int groupId, const int (&labelIds)[4],
                                int originId, int cornerId);
    QLayout* buildBottomRow();
    QGroupBox* buildAudioGroup();
    QGroupBox* buildHotSpareGroup();
    QGroupBox* buildModeGroups();
    QWidget* buildSourceColours();
    PreviewArea* buildArea(int areaId, std::initializer_list<int> rectIds);

    template <typename W>
    W* add(int id, W* widget);
    QLabel* makeLabel(int id);
    QLineEdit* makeNumberEdit(int id, QLabel* buddy);
    QPushButton* makeButton(int id);
    QRadioButton* makeRadio(int id);
    QGroupBox* makeGroup(int id);
    // A row of an edit's label, the edit and its Save (and Reset).
    void addSettingRow(QGridLayout* grid, int row, QLabel* title, int editId, QWidget* rangeLabel, int saveId,
                       int resetId);

    // ---- behaviour (CSetScreen.cpp)
    omnar::setup::SetupView applyReport(const omnar::setup::Report& report) override { return m_model.apply(report); }
    omnar::setup::SetupAction jobFinished() override { return m_model.jobFinished(); }
    void viewApplied(const omnar::setup::SetupView& view) override;
    void wire();
    void redraw(int rectId);
    omnar::setup::WindowTexts windowTexts(omnar::setup::WindowGroup group) const;
    void saveWindow(omnar::setup::WindowGroup group);
    void onButton(int id, void (CSetScreen::*handler)(int));
    void onSave(int saveId);
    void onReset(int resetId);

    omnar::setup::SetScreenModel m_model;
    QList<PreviewArea*> m_areas;
};

} // namespace omnar::gui::setup
