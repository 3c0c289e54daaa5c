#pragma once
// The images of the tool bar's buttons, drawn with QPainter at run time: flat shapes in a dark outline
// colour, white and one accent colour per group of buttons, so that no image files ship with the program.

#include <QIcon>
#include <string_view>

namespace tav {

// The image of a tool button, drawn with QPainter (no image files): a null icon for an unknown name.
QIcon toolIcon(std::string_view button);
// The same, with the image of the switched-on state where a button has one (the input filter draws a
// filled funnel when on); every other button ignores on.
QIcon toolIcon(std::string_view button, bool on);

}  // namespace tav
