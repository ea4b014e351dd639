// The program's vector artwork (":/images/....svg") as a bitmap of `ratio`
// pixels per design unit, with that device pixel ratio. One file per kind of
// build, chosen by CMake: where Qt Svg is there the file is drawn as it is
// loaded; elsewhere (the Windows build) the build put a picture rendered from
// it on the build machine under the same resource name. A null image when the
// file cannot be read.
#pragma once

#include <QImage>
#include <QString>

QImage LoadVectorArtwork(const QString& fileName, qreal ratio);
