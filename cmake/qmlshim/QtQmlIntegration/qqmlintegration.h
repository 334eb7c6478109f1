// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for Qt Quick's header when its development files are not
// installed: Qt's text-to-speech header names it only to mark its class for
// QML, which the program does not use. The marks only speak to moc, which
// never reads that header here, so they may say nothing.
#pragma once
#ifndef QML_ELEMENT
#define QML_ELEMENT
#endif
#ifndef QML_NAMED_ELEMENT
#define QML_NAMED_ELEMENT(NAME)
#endif
#ifndef QML_UNCREATABLE
#define QML_UNCREATABLE(REASON)
#endif
