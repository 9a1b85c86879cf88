// Writes the panel's icon as PNG files for the package:
//   omnar-render-icon OUTDIR SIZE...   → OUTDIR/SIZExSIZE/omnar-control.png
#include "gui/app/AppIcon.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: omnar-render-icon OUTDIR SIZE...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString dir = QStringLiteral("%1/%2x%2").arg(out).arg(size);
        if (size < 16 || !QDir().mkpath(dir)
            || !omnar::gui::app::appIconImage(size).save(dir + QStringLiteral("/omnar-control.png"))) {
            std::fprintf(stderr, "omnar-render-icon: cannot write %s/omnar-control.png\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
