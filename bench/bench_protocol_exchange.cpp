// Cost of one register exchange on the whole path the program uses: protocol, driver bridge,
// automation client, driver component and the built-in register. Reads every record of a full
// goods table, one record per exchange, with the real log handler writing every line.

#include "automationregistry.h"
#include "drivercomponent.h"
#include "loghandler.h"
#include "protocolpelto.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int goodsRecords = 65535;

// The component as the program creates it, with the register's goods table full.
QObject *fullGoodsDriver()
{
    auto *driver = new DriverComponent;
    driver->setDeviceSettings(QStringLiteral("EmulatorGoodsCount=%1\n").arg(goodsRecords));
    return driver;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    LogHandlerScope logHandler;
    AutomationRegistry::registerComponent(QStringLiteral("AddIn.Velmar"), fullGoodsDriver);

    protocolPelto protocol;
    const PortInfo port(QStringLiteral("EMU1"), QString(), QLatin1String(builtInRegisterLocation));
    if (protocol.openPort(port) != 0) {
        std::fprintf(stderr, "The built-in register did not open.\n");
        return 1;
    }
    FieldList record;
    protocol.readRow(1, 1, &record); // learns the field widths, as the first read does

    QElapsedTimer timer;
    timer.start();
    int exchanges = 0;
    for (int row = 1; row <= goodsRecords; ++row, ++exchanges) {
        if (protocol.readRow(1, row, &record) != 0) {
            std::fprintf(stderr, "Record %d could not be read.\n", row);
            return 1;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    protocol.closePort();
    std::printf("%d goods records, one exchange each: %.0f exchanges/s, %.2f us/exchange "
                "(target: at most 20 us)\n",
                exchanges, exchanges / seconds, seconds * 1e6 / exchanges);
    return 0;
}
