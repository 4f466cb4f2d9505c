// The seam between the entry and the operating system: the COM apartment on Windows and the
// settings message box. Linux has no apartment; its message box is a GTK dialog.
#pragma once

enum class ApartmentResult { Joined, Failed };

// Joins the calling thread to a single-threaded apartment. A thread already joined in the other
// mode counts as joined.
ApartmentResult JoinApartment();
void LeaveApartment();

// A modal box with one OK button and no owner window. Returns once it is dismissed. Where no
// display is available the text is printed to standard output instead.
void ShowMessageBox(const char* caption, const char* text);

// The window's libraries (the X client library, the GL driver) read a few of the user's files
// themselves, with plain blocking reads: where one of those is not a small regular file (a FIFO
// would hang the window's creation, a device stream into memory), they are pointed elsewhere.
// Called once the desktop has been read, before the window is opened.
void KeepWindowLibrariesToRegularFiles();
// The part of it that opening a connection to the display needs (the files named by a variable
// or in the home folder: the X authority first), safe to do before the desktop is read.
void KeepDisplayConnectionToRegularFiles();

// Readies the process's heap for start-up's few hundred MiB of image data (decoded sheets and
// the GL driver's copies of them), so that loading costs as little as the platform allows.
void PrepareHeapForImages();
// Once the first frame is up: gives the operating system back the heap start-up no longer needs
// (the decoded images are freed by then) and returns the heap to its usual trimming.
void ReleaseStartupHeap();
