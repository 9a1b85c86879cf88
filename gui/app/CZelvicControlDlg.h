#pragma once

#include "core/panel/PanelRules.h"
#include "core/util/TextPair.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <QTimer>

#include <functional>

class QAbstractButton;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace omnar::gui::widgets {
class ControlSet;
}

namespace omnar::gui::app {

class LedIndicator;

// The control panel: the program's main window. It draws the panel and turns
// operator actions into signals. What the panel shows is decided in
// core/panel: the controllers apply those decisions through the setters
// below, always on the GUI thread; the window itself asks the core only about
// its own boxes (All, AutoConnect, Serial/Network).
class CZelvicControlDlg : public QDialog {
    Q_OBJECT
public:
    struct Options {
        // Shows the controls the panel normally keeps hidden (network link,
        // device id, DP, VGA2, MOSAIC, Mosaic dialog).
        bool advanced = false;
        // Text put into the COM box; empty selects its first item.
        QString comPort;
        // Profile file holding the connection settings and the plans.
        QString configPath = QStringLiteral("./Planinfo.ini");
    };

    // Answers a Yes/No message box; returns true for Yes. Tests set one;
    // without one the panel shows a QMessageBox in its language.
    using MessageHandler = std::function<bool(const QString& caption, const QString& text)>;

    explicit CZelvicControlDlg(const Options& options, QWidget* parent = nullptr);
    ~CZelvicControlDlg() override;

    const Options& options() const { return m_options; }

    // The widget of a control id, or nullptr.
    QWidget* control(int id) const;

    // ---- language and window ----
    bool isChinese() const { return m_chinese; }
    // Same as clicking CH (true) or EN (false).
    void setLanguage(bool chinese);
    bool isTimerPanelCollapsed() const { return m_timerPanelCollapsed; }
    void toggleTimerPanel();
    void showAbout();

    // ---- message boxes (caption and text chosen by the current language) ----
    void setMessageHandler(MessageHandler handler);
    // The handler set, for the dialogs the panel opens; empty: they show their own boxes.
    const MessageHandler& messageHandler() const { return m_messageHandler; }
    bool showMessage(const util::TextPair& text);
    // A box whose caption does not follow the panel's rule (the port-range message).
    bool showMessageBox(const QString& caption, const QString& text);
    // In the Info line or in a message box, as the refusal says.
    void showRefusal(const panel::Refusal& refusal);

    // ---- the device view ----
    // Applies a decision of the panel logic: only what it names changes.
    void applyView(const panel::PanelView& view);
    void setIndicatorLit(int id, bool lit);
    bool isIndicatorLit(int id) const;
    // Indicators that flash 500 ms on, 500 ms off; replaces the previous set.
    // An indicator leaving the set keeps its last state until it is set again.
    void setBlinkSet(const QList<int>& ids);
    QList<int> blinkSet() const { return m_blinkSet; }
    // One blink half-period; the blink timer calls it, tests may too.
    void blinkStep();

    void setControlEnabled(int id, bool enabled);
    void setControlChecked(int id, bool checked);
    bool isControlChecked(int id) const;
    // Captions written by code other than the language switch (AUTO/TAKE,
    // V2/YPbPr, "Pre:" label, the timer panel's values); they keep their
    // wording across CH/EN.
    void setControlText(int id, const QString& text);
    QString controlText(int id) const;
    void setControlVisible(int id, bool visible);

    void setInfoText(const QString& text);
    QString infoText() const;

    // ---- timer bar ----
    panel::TimerSelection timerSelection() const;
    void setTimerField(int id, const QString& text);
    QString timerField(int id) const;
    void clearTimerFields();

    // ---- link box ----
    QString comPortText() const;
    void setComPortText(const QString& name);
    bool isSerialChosen() const;
    // Checks Serial or Network with the enable states that go with it.
    void setSerialChosen(bool serial);
    QString ipAddressText() const;
    void setIpAddressText(const QString& text);
    QString tcpPortText() const;
    void setTcpPortText(const QString& text);
    // 0 when no device id is selected.
    int deviceId() const;
    // Selects the list item and the matching radio (1..6); an id outside
    // 1..255 clears both.
    void setDeviceId(int id);
    bool isAutoConnectChecked() const;
    bool isStartTimerChecked() const;
    // Also enables the StartTimer box only while AutoConnect is set.
    void setAutoConnectChecked(bool on);
    void setStartTimerChecked(bool on);

signals:
    // A key for the key logic: source keys, function keys, M1..M3, AUTO/TAKE,
    // the switch-mode radios and the Cut/Fade radios.
    void keyPressed(int controlId);
    void connectRequested();
    void disconnectRequested();
    // The dialog buttons; whether the dialog may open is the controller's call.
    void setupRequested();
    void resolutionRequested();
    void programRequested();
    void mosaicRequested();
    // Start and Stop of the timer bar.
    void timerStartRequested();
    void timerStopRequested();
    // One of the Day/Week/Month/Once boxes changed (by the operator or All).
    void timerKindsChanged();
    void languageChanged(bool chinese);
    void transportChosen(bool serial);
    void deviceIdChosen(int id);
    void autoConnectToggled(bool on);
    void startTimerToggled(bool on);
    // The operator confirmed Exit; emitted just before the window closes.
    void exitConfirmed();

public slots:
    // Enter does not end the panel.
    void accept() override {}
    // Esc, Exit and the close box: ask first.
    void reject() override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildUi();
    QGroupBox* buildSourceGroup();
    QGroupBox* buildFunctionGroup();
    QGroupBox* buildPipModeGroup();
    QGroupBox* buildFadeGroup();
    QGroupBox* buildSwitchModeGroup();
    QGroupBox* buildLinkGroup();
    QGroupBox* buildLanguageGroup();
    QGroupBox* buildTimerGroup();
    QGroupBox* buildInfoGroup();
    QGroupBox* buildTimerPanel();
    QGroupBox* buildTimerHalf(int groupId, const int (&labelIds)[4], const int (&fieldIds)[4]);

    QPushButton* makeButton(int id, const QString& caption, int minWidth = 0);
    QPushButton* makeKey(int id, const QString& caption);
    QRadioButton* makeRadio(int id, const QString& caption);
    QCheckBox* makeCheck(int id, const QString& caption);
    QGroupBox* makeGroup(int id, const QString& caption);
    QLabel* makeLabel(int id, const QString& caption);
    LedIndicator* makeLed(int id, const QString& shows, QColor colour);
    // A key with its lamp above it.
    QBoxLayout* keyColumn(int keyId, const QString& caption, int ledId, const QString& shows,
                          QColor colour);

    void applyLanguage();
    void initialise();
    void onAllClicked();
    void onDeviceIdRadio(int n);
    void onDeviceIdListActivated(int index);
    void onSerialClicked();
    void onNetworkClicked();
    void onAutoConnectClicked();
    void onStartTimerClicked();
    void updateTimerToggleCaption();
    void updateTimerFieldName(int id);
    void applyAdvancedVisibility();

    Options m_options;
    // Every control by id; tells the operator's clicks and toggles from
    // what setControlChecked shows.
    widgets::ControlSet* m_controls;
    QHash<int, LedIndicator*> m_leds;
    MessageHandler m_messageHandler;

    QGroupBox* m_timerPanel = nullptr;
    QComboBox* m_comPort = nullptr;
    QComboBox* m_deviceIdList = nullptr;
    QLineEdit* m_ipAddress = nullptr;
    QLineEdit* m_tcpPort = nullptr;
    QLineEdit* m_info = nullptr;

    bool m_chinese = false;
    bool m_timerPanelCollapsed = true;
    bool m_exiting = false;

    QTimer m_blinkTimer;
    QList<int> m_blinkSet;
    bool m_blinkLit = false;
};

} // namespace omnar::gui::app
