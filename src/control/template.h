// Status bars' template language, playerctl's "--format": text, and between "{{" and "}}" an
// expression of variables, literals, arithmetic and functions, rendered from the player's state.
#pragma once

#include "control/state.h"

// Renders the template, UTF-16 as the command line gives it, into one line of UTF-8. False for a
// template that can't be parsed or evaluated: the line is then empty and error says why,
// "tunedesk: /FORMAT: ..." with the column.
bool RenderTemplate(const desktop::WCHAR* text, const PlayerState& state, Line& line, Line& error);
