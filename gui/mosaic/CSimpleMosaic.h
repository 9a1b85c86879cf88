#pragma once

#include "core/mosaic/MosaicDevice.h"
#include "core/mosaic/MosaicGrid.h"
#include "core/mosaic/MosaicState.h"
#include "core/mosaic/MosaicView.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QComboBox;
class QLineEdit;

namespace omnar::link {
class Link;
}

namespace omnar::gui::link {
class CProgress;
class DialogJob;
} // namespace omnar::gui::link

namespace omnar::gui::widgets {
class ButtonActivation;
}

namespace omnar::gui::mosaic {

// "Fast Mosaic": the operator describes a video wall of up to 6 × 8 screens,
// types every screen's size, and uploads the selected screen's input and
// output windows. Every decision is the core's (core/mosaic); the window
// draws the views it returns and runs the device work as a dialog job, so
// the GUI thread never waits on the device. Closing stops that work: nothing
// more is sent.
//
// The dialog is a grid of fixed cells, so it places its controls at fixed
// pixel positions; the lower part keeps its distance to the bottom edge.
class CSimpleMosaic : public QDialog {
    Q_OBJECT
public:
    // Answers a Yes/No message box; true for Yes. Tests record and answer.
    using MessageHandler = std::function<bool(const QString& caption, const QString& text)>;

    // What the main window hands over.
    struct Context {
        omnar::link::Link& link;
        // The main window's device id: the mode frames carry it; every other
        // frame goes to the address chosen in the dialog.
        std::uint8_t deviceId = 1;
        bool chinese = false;
        // Empty: a QMessageBox with Yes and No.
        MessageHandler messageHandler;
    };

    explicit CSimpleMosaic(const Context& context, QWidget* parent = nullptr);
    ~CSimpleMosaic() override;

    // The widget of a fixed control or of a screen cell's control, or nullptr.
    QWidget* control(int id) const;
    const omnar::mosaic::MosaicState& state() const { return m_state; }
    // A device job runs: the controls wait (Exit and the close box do not).
    bool isBusy() const { return m_busy; }
    // The upload controls' own state, whatever a running job does to them.
    bool isUploadEnabled() const;

    // Closing stops the device work first; its waits end at once.
    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Construction (CSimpleMosaicWidgets.cpp).
    void buildControls();
    QWidget* addControl(int id, QWidget* widget, const QRect& rect);
    void buildGrid(const omnar::mosaic::GridLayout& grid);
    void destroyGrid();
    void updateEditNames();

    // Handlers.
    void onPreset(int presetId);
    void onSpecificationOk();
    void onWindowButton(int window);
    void onAddressRadio(int radioId);
    void onAddressList(int position);
    void onConnect();
    void onDetect();
    void onMode(bool sync);
    void onAutoCalculate();
    void onSet(omnar::mosaic::Group group);
    void onSpin(int spinId, int delta);

    // Checks or unchecks a control as the program: no operator's action runs.
    void setCheckedByProgram(int id, bool checked);

    // The view of a decision, in the order the core lays down.
    void applyView(const omnar::mosaic::MosaicView& view);
    void setUploadEnabled(bool enabled);
    void paintMark(int fieldId, bool changed);
    void showMessage(const omnar::mosaic::MessageBox& box);

    // Device work.
    using Sequence = std::function<void(omnar::link::JobLink&, const omnar::mosaic::ReportSink&)>;
    bool runJob(Sequence sequence);
    void applyReport(const omnar::mosaic::DeviceReport& report);
    void setBusy(bool busy);
    void closeProgress();

    omnar::mosaic::Geometry currentGeometry() const;
    void applyGeometry(const omnar::mosaic::Geometry& geometry);
    void anchorToBottom();

    Context m_context;
    omnar::mosaic::MosaicState m_state;

    // Every control but Exit lives here, so a busy dialog disables them in
    // one step and each keeps its own enabled state for afterwards.
    QWidget* m_client = nullptr;
    QHash<int, QWidget*> m_controls;
    // The screen cells' controls, in creation order.
    std::vector<QWidget*> m_cellWidgets;
    struct Anchor {
        QWidget* widget;
        omnar::mosaic::BottomAnchor anchor;
    };
    std::vector<Anchor> m_anchors;

    link::DialogJob* m_job = nullptr;
    link::CProgress* m_progress = nullptr;
    bool m_progressRunning = false;
    bool m_busy = false;
    QPointer<QWidget> m_focusBeforeBusy;
    // A click, or a screen reader's toggle of a radio, runs the radio's
    // action once; a change the program makes runs nothing.
    widgets::ButtonActivation* m_activation = nullptr;
};

} // namespace omnar::gui::mosaic
