#pragma once

class QWidget;

// Gives every control below window that has none an accessible name from
// the caption that stands for it (its buddy label) and an accessible
// description from its tooltip, so that a screen reader announces what is
// focused. Controls that show a caption of their own are named by it already.
void DescribeForScreenReaders(QWidget *window);
