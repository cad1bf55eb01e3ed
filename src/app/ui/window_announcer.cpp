#include "app/ui/window_announcer.h"

#include <QCoreApplication>
#include <QLocalSocket>

namespace korventa::ui {

QString WindowAnnouncer::socketName(const QString& title) {
  return title;
}

WindowAnnouncer::WindowAnnouncer(QString title, QWidget* window, QObject* parent)
    : QObject(parent), title_(std::move(title)), window_(window), hasWindow_(window != nullptr) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  QString name = socketName(title_);
  if (!server_.listen(name) && server_.serverError() == QAbstractSocket::AddressInUseError) {
    // A socket file left by a launcher that did not end cleanly: take it over unless someone
    // still answers on it.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (!probe.waitForConnected(300)) {
      QLocalServer::removeServer(name);
      server_.listen(name);
    }
  }
  connect(&server_, &QLocalServer::newConnection, this, &WindowAnnouncer::answer);
}

WindowAnnouncer::~WindowAnnouncer() {
  server_.close();
}

void WindowAnnouncer::answer() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      QString request = QString::fromUtf8(socket->readLine()).trimmed();
      QString klass = QCoreApplication::applicationName();
      bool shown = !hasWindow_ || (window_ && window_->isVisible());
      QByteArray reply;
      if (request == QLatin1String(announce::kQuery)) {
        if (shown) reply = (title_ + '\t' + klass).toUtf8();
      } else if (request.startsWith(QLatin1String(announce::kClose))) {
        QString wanted = request.mid(int(sizeof(announce::kClose))).trimmed();
        if (shown && (wanted.isEmpty() || wanted == klass) && window_) window_->close();
        reply = "OK";
      }
      socket->write(reply + '\n');
      socket->flush();
      socket->disconnectFromServer();
    });
  }
}

}  // namespace korventa::ui
