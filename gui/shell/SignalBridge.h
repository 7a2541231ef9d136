#pragma once
#include <QObject>

class QSocketNotifier;

namespace qv {

// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the window thread (self-pipe), so a
// logout or kill closes the program through its normal close path.
class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

Q_SIGNALS:
    void terminateRequested(int signalNumber);

private:
    void Readable();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qv
