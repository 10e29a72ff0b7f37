#include "office_bridge.h"

#include "office_process.h"
#include "uno_support.h"

#include <QDeadlineTimer>
#include <QThread>

#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/lang/XEventListener.hpp>

#include <cppuhelper/implbase1.hxx>
#include <utility>

namespace word {

using namespace word::uno;

namespace {

// Told by the bridge when the connection to the office is gone.
class BridgeWatch : public cppu::WeakImplHelper1<css::lang::XEventListener>
{
public:
    explicit BridgeWatch(std::shared_ptr<std::atomic<bool>> gone) : mGone(std::move(gone)) {}
    void SAL_CALL disposing(const css::lang::EventObject&) override { *mGone = true; }

private:
    std::shared_ptr<std::atomic<bool>> mGone;
};

} // namespace

OfficeBridge::OfficeBridge() : mGone(std::make_shared<std::atomic<bool>>(false)) {}

Reference<css::connection::XConnection> OfficeBridge::waitForConnection(OfficeProcess& process,
                                                                        int timeoutMs)
{
    const auto context = localContext();
    const rtl::OUString description = toOU(process.connectionDescription());
    const QDeadlineTimer deadline(timeoutMs);
    int restarts = 0;
    Reference<css::connection::XConnection> connection;
    while (!connection.is()) {
        if (!process.running()) {
            if (process.exitCode() == OfficeProcess::kRestartRequested && restarts < 3) {
                ++restarts;
                process.restart();
                continue;
            }
            throw Error(QStringLiteral("The office program \"%1\" ended while starting (exit "
                                       "code %2).")
                            .arg(OfficeProcess::programPath())
                            .arg(process.exitCode()));
        }
        try {
            connection = css::connection::Connector::create(context)->connect(description);
        } catch (const css::connection::NoConnectException&) {
            if (deadline.hasExpired()) {
                throw Error(QStringLiteral("The office program \"%1\" did not answer within %2 "
                                           "seconds.")
                                .arg(OfficeProcess::programPath())
                                .arg(timeoutMs / 1000));
            }
            QThread::msleep(10);
        } catch (...) {
            rethrowAsWordError(QStringLiteral("Connecting to the office"));
        }
    }
    return connection;
}

Reference<css::uno::XComponentContext>
OfficeBridge::open(const Reference<css::connection::XConnection>& connection)
{
    auto bridge = css::bridge::BridgeFactory::create(localContext())
                      ->createBridge(rtl::OUString(), "urp", connection, nullptr);
    mBridge.set(bridge, UNO_QUERY);
    mBridge->addEventListener(new BridgeWatch(mGone));
    return Reference<css::uno::XComponentContext>(
        bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
}

void OfficeBridge::dispose()
{
    if (mBridge.is()) {
        try {
            mBridge->dispose();
        } catch (...) {
        }
        mBridge.clear();
    }
    *mGone = false;
}

} // namespace word
