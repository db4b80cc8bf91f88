// r7260-cli: see cli/Cli.h and its --help.

#include <QCoreApplication>
#include <QTextStream>
#include <QTranslator>
#include <cstdio>

#include "cli/Cli.h"

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("r7260-cli"));
    // The texts the window shares with the command line, in English.
    QTranslator english;
    if (english.load(QStringLiteral(":/i18n/r7260-tool_en")))
        QCoreApplication::installTranslator(&english);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = cli::run(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
