#pragma once

#include <QIcon>
#include <QList>

// The 32 × 32 pictures the tabs and buttons draw from, painted here so that no image file has to
// travel with the program.
QList<QIcon> BuildImageList();
