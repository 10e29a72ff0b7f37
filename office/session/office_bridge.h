#pragma once

#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <atomic>
#include <memory>

namespace word {

class OfficeProcess;

// The connection to one office over its pipe, and whether it has gone.
class OfficeBridge
{
public:
    OfficeBridge();

    // Tries to connect until the office answers or timeoutMs have passed, starting again an
    // office that ends to ask for it; throws word::Error saying which.
    static com::sun::star::uno::Reference<com::sun::star::connection::XConnection>
    waitForConnection(OfficeProcess& process, int timeoutMs);
    // The bridge over the connection; gives the office's component context.
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>
    open(const com::sun::star::uno::Reference<com::sun::star::connection::XConnection>& connection);
    // Ends the bridge; a call still waiting on it fails at once.
    void dispose();
    bool isOpen() const { return mBridge.is(); }
    // Set by the bridge, from a thread of its own, once the connection is gone.
    bool gone() const { return *mGone; }

private:
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> mBridge;
    std::shared_ptr<std::atomic<bool>> mGone;
};

} // namespace word
