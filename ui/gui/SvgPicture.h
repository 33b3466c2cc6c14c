#pragma once

#include <QImage>
#include <QSize>
#include <string_view>

// An SVG picture drawn at its own size (times `ratio` pixels per unit for sharp screens) on
// white. A picture that does not parse gives a null image.
QImage SvgPicture(std::string_view svg, qreal ratio = 1);
