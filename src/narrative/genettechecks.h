// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace morvello {

class CheckReport;
class ContentCheckRegistry;

// What the narrative-concepts screen needs of its passages: every exercise
// file of every concept present, readable as RTF and holding some text.
void checkGenettePassages(CheckReport &report);

// Adds those checks (the right/wrong pictures are checked once, for every
// activity that shows them, by addPictureChecks).
void addGenetteChecks(ContentCheckRegistry &registry);

} // namespace morvello
