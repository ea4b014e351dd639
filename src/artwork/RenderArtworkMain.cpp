// sulo_render_artwork OUTPUT RESOURCES.qrc...
//
// For builds without Qt Svg (the Windows build): renders every SVG file a
// resource list names into a PNG at the bitmaps' own ratio, drawn exactly as
// the program draws it where it has Qt Svg, and writes beside them a resource
// list of the same name that gives each PNG its SVG's resource name. Other
// files are copied as they are.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>

#include "views/widgets/Bitmap.h"
#include "views/widgets/VectorArtwork.h"

namespace {

bool Fail(const QString& text) {
  std::fprintf(stderr, "sulo_render_artwork: %s\n", qPrintable(text));
  return false;
}

bool RenderList(const QString& qrcPath, const QDir& output) {
  QFile qrc(qrcPath);
  if (!qrc.open(QIODevice::ReadOnly | QIODevice::Text)) return Fail("cannot read " + qrcPath);
  const QString text = QString::fromUtf8(qrc.readAll());
  const QDir source = QFileInfo(qrcPath).absoluteDir();
  QString list = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
  static const QRegularExpression fileEntry("<file>([^<]+)</file>");
  for (auto it = fileEntry.globalMatch(text); it.hasNext();) {
    const QString name = it.next().captured(1).trimmed();
    const QString target = output.filePath(name);
    if (!output.mkpath(QFileInfo(target).path())) return Fail("cannot make the folder for " + target);
    if (name.endsWith(".svg", Qt::CaseInsensitive)) {
      const QImage image = LoadVectorArtwork(source.filePath(name), TBitmap::FRenderRatio);
      if (image.isNull()) return Fail("cannot render " + source.filePath(name));
      const QString png = name.left(name.size() - 4) + ".png";
      if (!image.save(output.filePath(png), "PNG")) return Fail("cannot write " + output.filePath(png));
      list += "  <file alias=\"" + name + "\">" + png + "</file>\n";
    } else {
      QFile::remove(target);
      if (!QFile::copy(source.filePath(name), target)) return Fail("cannot copy " + name);
      list += "  <file>" + name + "</file>\n";
    }
  }
  list += "</qresource>\n</RCC>\n";
  QFile out(output.filePath(QFileInfo(qrcPath).fileName()));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(list.toUtf8()) < 0)
    return Fail("cannot write " + out.fileName());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing text in the artwork needs the fonts of a Gui application; no
  // display is needed for that.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QStringList args = application.arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: sulo_render_artwork OUTPUT RESOURCES.qrc...\n");
    return 2;
  }
  QDir output(QDir(args[1]).absolutePath());
  if (!output.mkpath(".")) {
    Fail("cannot make " + args[1]);
    return 1;
  }
  for (int i = 2; i < args.size(); ++i)
    if (!RenderList(args[i], output)) return 1;
  return 0;
}
