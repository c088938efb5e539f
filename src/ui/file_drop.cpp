#include "ui/file_drop.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace vexa::ui {

QString DroppedConfigFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QString path = urls.front().toLocalFile();
  if (!path.endsWith(QStringLiteral(".eep"), Qt::CaseInsensitive)) return {};
  return QFileInfo(path).absoluteFilePath();
}

}  // namespace vexa::ui
