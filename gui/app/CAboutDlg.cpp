#include "gui/app/CAboutDlg.h"

#include "gui/app/AppIcon.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace omnar::gui::app {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("OmnarControl"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("IDC_ABOUT_ICON"));
    icon->setAccessibleName(QStringLiteral("OmnarControl icon"));
    icon->setPixmap(appIcon().pixmap(32, 32));

    auto* version = new QLabel(QStringLiteral("Omnar  V1.00"), this);
    version->setObjectName(QStringLiteral("IDC_ABOUT_VERSION"));
    version->setAccessibleName(version->text());
    auto* date = new QLabel(QStringLiteral("2018-03-10"), this);
    date->setObjectName(QStringLiteral("IDC_ABOUT_DATE"));
    date->setAccessibleName(date->text());

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setAccessibleName(ok->text());
    ok->setDefault(true);
    ok->setMinimumWidth(80);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(version, 0, 1);
    grid->addWidget(date, 1, 1);
    grid->addWidget(ok, 0, 2, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

} // namespace omnar::gui::app
