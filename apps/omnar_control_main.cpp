#include <QApplication>
#include <QDialog>

// The panel's shell; its controls come with the control panel itself.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDialog dlg;
    dlg.setWindowTitle(QStringLiteral("Omnar Processor Controller(V1.00)"));
    dlg.resize(640, 480);
    dlg.show();
    return app.exec();
}
