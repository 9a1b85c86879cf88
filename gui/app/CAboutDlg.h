#pragma once

#include <QDialog>

namespace omnar::gui::app {

// The About box: program name, version and date.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace omnar::gui::app
