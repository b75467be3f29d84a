// How Form2Window appears to screen readers and other assistive tools.
//
// Qt describes a plain top-level widget as a client area, which the desktop's
// accessibility bus announces as "filler"; Form2Window is the program's window and
// says so. Its name is its title; its controls describe themselves (each
// button and label by its caption, the progress bar by its accessible name).
// What has no name to give, the frame drawn around the layout and an empty
// label, is decoration: the window does not list it among its children.
#ifndef ZEROVA_WINDOW_QT_ACCESSIBLE_WINDOW_H_
#define ZEROVA_WINDOW_QT_ACCESSIBLE_WINDOW_H_

namespace zerova {

// Makes every Form2Window from now on answer QAccessible::Window as its role and
// list only its named children. Safe to call more than once. REQUIRES: on the
// GUI thread.
void DescribeForm2AsWindow();

}  // namespace zerova

#endif  // ZEROVA_WINDOW_QT_ACCESSIBLE_WINDOW_H_
