#include "cli/Scan.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "automation/BusScan.h"
#include "cli/Options.h"
#include "cli/Report.h"
#include "transmission/Engine.h"

namespace cli {

namespace {

using automation::ScanHit;

QString addressText(quint8 address) {
    return QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper();
}

QString framingText(codec::Framing framing) {
    return framing == codec::Framing::Ascii ? QStringLiteral("ascii") : QStringLiteral("rtu");
}

void print(QTextStream &out, bool json, const ScanHit &hit) {
    const auto parameters = automation::scanParameters();
    if (json) {
        QJsonObject o{{"address", addressText(hit.address)},
                      {"baud", hit.speed},
                      {"framing", framingText(hit.framing)}};
        if (hit.damaged) {
            o[QStringLiteral("damaged")] = true;
            o[QStringLiteral("message")] = automation::damagedText();
        } else {
            o[QStringLiteral("ms")] = hit.ms;
            if (hit.error)
                o[QStringLiteral("errorCode")] = *hit.error;
            for (std::size_t i = 0; i < parameters.size(); ++i)
                o[QLatin1String(parameters[i].key)] =
                    hit.parameters[i] ? QJsonValue(*hit.parameters[i]) : QJsonValue();
        }
        out << QJsonDocument(o).toJson(QJsonDocument::Compact) << Qt::endl;
        return;
    }
    out << "address " << addressText(hit.address) << "  baud " << hit.speed << "  framing "
        << framingText(hit.framing);
    if (hit.damaged) {
        out << "  damaged: " << automation::damagedText() << Qt::endl;
        return;
    }
    out << "  ms " << hit.ms;
    if (hit.error)
        out << "  error " << QStringLiteral("%1").arg(*hit.error, 2, 16, QLatin1Char('0'));
    for (std::size_t i = 0; i < parameters.size(); ++i)
        out << "  " << parameters[i].key << ' '
            << (hit.parameters[i] ? QString::number(*hit.parameters[i]) : QStringLiteral("-"));
    out << Qt::endl;
}

} // namespace

int scanBus(const Options &options, const OpenPort &open, QTextStream &out, QTextStream &err) {
    const QLatin1String program("r7260-cli");
    if (options.words.size() != 1) {
        err << program << ": scan takes no arguments\n";
        return Usage;
    }
    if (const auto fault = automation::checkPlan(options.scan)) {
        err << program << ": " << automation::faultText(*fault) << "; nothing sent\n";
        return Usage;
    }
    transmission::Engine engine;
    if (const auto status = open(engine))
        return *status;

    automation::BusScan scan(engine);
    int drives = 0;
    int status = NoReply;
    QEventLoop loop;
    QObject::connect(&scan, &automation::BusScan::found, [&](const ScanHit &hit) {
        print(out, options.json, hit);
        drives += hit.damaged ? 0 : 1;
    });
    QObject::connect(&scan, &automation::BusScan::finished,
                     [&](automation::ScanEnd end, const QString &problem) {
                         if (end == automation::ScanEnd::PortProblem) {
                             err << program << ": "
                                 << portLabel(options.port, engine.portDevice()) << ": "
                                 << problem << "; the scan stopped\n";
                             status = PortError;
                         } else {
                             status = drives > 0 ? Ok : NoReply;
                         }
                         loop.quit();
                     });
    if (const auto fault = scan.start(options.scan)) {
        err << program << ": " << automation::faultText(*fault) << '\n';
        return PortError;
    }
    QElapsedTimer clock;
    clock.start();
    loop.exec();
    err << program << ": " << drives << " drive(s) found in "
        << QString::number(double(clock.elapsed()) / 1000, 'f', 1) << " s\n";
    return status;
}

} // namespace cli
