// Linux side of the entry's platform seam: no apartment to join, and a GTK message box.
#include "app/platform.h"

#include <gtk/gtk.h>

#include <cstdio>

ApartmentResult JoinApartment() { return ApartmentResult::Joined; }
void LeaveApartment() {}

void ShowMessageBox(const char* caption, const char* text) {
    if (!gtk_init_check(nullptr, nullptr)) {
        // No display to show a window on: say it where the user started us.
        std::printf("%s: %s\n", caption, text);
        std::fflush(stdout);
        return;
    }
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                               GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), caption);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
}
