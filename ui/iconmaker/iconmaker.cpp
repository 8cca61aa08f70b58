// iconmaker ICON.svg OUT.ico: draws the icon picture at each of the program's icon sizes
// and writes them into one icon file. Run it through the build's "icon" target.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "ui/iconmaker/ico_file.h"
#include "ui/svg/svg_parser.h"

namespace vantor {

int Main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: iconmaker ICON.svg OUT.ico\n";
    return 2;
  }
  std::ifstream In(argv[1], std::ios::binary);
  const std::string Svg{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
  const TSvgDocument Doc = ParseSvg(Svg);
  if (!In || !Doc.HasRoot) {
    std::cerr << "iconmaker: " << argv[1] << " is no SVG picture\n";
    return 1;
  }
  std::vector<TSvgImage> Images;
  for (int Size : AppIconSizes()) {
    TSvgRenderOptions O;
    O.Width = O.Height = Size;
    Images.push_back(RenderSvg(Doc, O));
  }
  const auto Ico = BuildIco(Images);
  std::ofstream Out(argv[2], std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Ico.data()), static_cast<std::streamsize>(Ico.size()));
  if (!Out) {
    std::cerr << "iconmaker: cannot write " << argv[2] << "\n";
    return 1;
  }
  std::cout << argv[2] << ": " << Ico.size() << " bytes\n";
  return 0;
}

}  // namespace vantor

int main(int argc, char** argv) {
  return vantor::Main(argc, argv);
}
