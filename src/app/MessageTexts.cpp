#include "app/MessageTexts.h"

namespace harvel {

MessageTable DefaultMessageTexts() {
    static const char* const kDefaults[40] = {
        "Error Opening Vora USB Port",
        "Vora on USB",
        "Could not create Vora object. Be sure that OCX is properly installed",
        "USB Port open error",
        "Vora on Com",
        "Could not open serial port",
        "Port open error",
        "DayTime",
        "LastDetection",
        "Could not open Excel File!",
        "Data changed. Save?",
        "Save Data?",
        "Really close Application?",
        "Close Application?",
        "Clear Data? Sure?",
        "Clear Data?",
        "Surprise removal of Vora!",
        "Vora USB removed",
        "Message from Vora USB",
        " Time:",
        "Error",
        "Could not load Language File",
        "Error Loading Language File",
        "Wrong Language File, not completely loaded",
        "Vora USB",
        "Could not find serial port",
        "Please Restart Program to load Language File",
        "Restart Program",
        "Could not load Language File",
        "Error Loading Language File",
        "Cell not empty. Overwrite Data?",
        "Overwrite cell?",
        "Could not save data file!",
        "File save error",
        "Info",
        "Number",
        "Channel",
        "Type",
        "Time",
        "Wrong Time Format:",
    };
    MessageTable texts;
    for (int i = 0; i < 40; ++i) {
        texts[static_cast<std::size_t>(i)] = QString::fromLatin1(kDefaults[i]);
    }
    return texts;
}

}  // namespace harvel
