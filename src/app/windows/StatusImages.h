#pragma once
// The program's own images, by name: the status lamps ("green_ball", "gray_ball", "yellow_ball",
// "red_ball", "blue_ball", "orange_ball"), the transmit button ("red_button", "red_button_dark"),
// the play lamp ("play_green", "play_black") and the button glyphs ("save", "plus", "delete",
// "go_512x512", dark for light windows, and their "_light" variants for dark windows). Drawn at
// 128 pixels so they stay sharp on dense screens. A name not in the list gives a null image.
#include <QImage>
#include <string>

namespace vm {

QImage statusImageNamed(const std::string& name);

}  // namespace vm
