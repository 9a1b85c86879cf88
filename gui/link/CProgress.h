#pragma once

#include <QDialog>

#include <atomic>

class QLabel;

namespace omnar::gui::link {

// The please-wait window shown modally while a worker talks to the device.
// The worker ends it with requestClose(), from any thread; a request made
// before the window appeared is kept, so exec() then returns at once.
class CProgress : public QDialog {
    Q_OBJECT
public:
    enum Kind { Connecting = 1, ChangingResolution = 2, ChangingDotClock = 3 };

    // Control id of the text field.
    static constexpr int IDC_PROGRESS_TEXT = 1185;

    explicit CProgress(QWidget* parent = nullptr);

    // Takes effect at the next exec()/show(), as the window sets its text when it opens.
    void setLanguage(bool chinese) { m_chinese = chinese; }
    void setKind(int kind) { m_kind = kind; }

    // The text shown for a kind; kinds outside 1..3 keep the template text.
    static QString text(int kind, bool chinese);
    QString shownText() const;

    // Thread-safe. Closes the window now, or as soon as it opens.
    void requestClose();
    bool closeRequested() const { return m_closeRequested.load(); }
    // Drops a pending request. exec() does this itself when it returns.
    void reset() { m_closeRequested.store(false); }

    int exec() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void closeIfRequested();

    QLabel* m_text = nullptr;
    bool m_chinese = false;
    int m_kind = Connecting;
    std::atomic<bool> m_closeRequested{false};
    bool m_closing = false;
};

} // namespace omnar::gui::link
