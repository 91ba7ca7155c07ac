#include "dialogs/pendingevents.h"

#include <QCoreApplication>

void ShowStatusNow() { QCoreApplication::processEvents(); }

void ProcessPendingMessages() { QCoreApplication::processEvents(); }
