// hicolor-icons ICON.svg OUTDIR NAME: the icon theme files of the Linux desktop entry,
// drawn from the same picture and at the same sizes as the Windows icon:
// OUTDIR/<n>x<n>/apps/NAME.png for each size, and OUTDIR/scalable/apps/NAME.svg.
#include <QDir>
#include <QFile>
#include <QImage>

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "ui/iconmaker/ico_file.h"
#include "ui/svg/svg_parser.h"

namespace vantor {

int Main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: hicolor-icons ICON.svg OUTDIR NAME\n";
    return 2;
  }
  std::ifstream In(argv[1], std::ios::binary);
  const std::string Svg{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
  const TSvgDocument Doc = ParseSvg(Svg);
  if (!In || !Doc.HasRoot) {
    std::cerr << "hicolor-icons: " << argv[1] << " is no SVG picture\n";
    return 1;
  }
  const QString Root = QString::fromLocal8Bit(argv[2]), Name = QString::fromLocal8Bit(argv[3]);
  for (const int Size : AppIconSizes()) {
    TSvgRenderOptions Options;
    Options.Width = Options.Height = Size;
    const TSvgImage Image = RenderSvg(Doc, Options);
    // 0xAARRGGBB words with straight alpha: Qt's ARGB32.
    const QImage Png(reinterpret_cast<const uchar*>(Image.Pixels.data()), Image.Width, Image.Height,
                     qsizetype{Image.Width} * 4, QImage::Format_ARGB32);
    const QString Folder = QStringLiteral("%1/%2x%2/apps").arg(Root).arg(Size);
    if (!QDir().mkpath(Folder) || !Png.save(Folder + "/" + Name + ".png", "PNG")) {
      std::cerr << "hicolor-icons: cannot write the " << Size << " pixel icon\n";
      return 1;
    }
  }
  const QString Scalable = Root + "/scalable/apps";
  const QString SvgCopy = Scalable + "/" + Name + ".svg";
  QFile::remove(SvgCopy);
  if (!QDir().mkpath(Scalable) || !QFile::copy(QString::fromLocal8Bit(argv[1]), SvgCopy)) {
    std::cerr << "hicolor-icons: cannot write " << SvgCopy.toStdString() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
