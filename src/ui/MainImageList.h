#pragma once

#include <QIcon>

// The main window's shared image list: small status pictures the tool windows show beside
// their rows. Drawn in code, 16x16. An index without a picture gives an empty icon.
namespace MainImages {
constexpr int Section = 22;  // a section mark
constexpr int Waiting = 24;  // an hourglass of dots: work still to do
constexpr int Failed = 26;   // a red cross
constexpr int Passed = 27;   // a green tick
}

QIcon mainImage(int index);
