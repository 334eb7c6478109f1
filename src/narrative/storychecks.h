// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace morvello {

class CheckReport;
class ContentCheckRegistry;
struct StoryEntry;

// What the story-colouring screen needs of a story's files: story and
// solution readable, the same text character by character, the story all
// white, the solution in palette colours only, sequence k in colour k, no
// more colours than sequences, a length the screen can handle; the hint
// file readable and not empty.
void checkStory(CheckReport &report, const StoryEntry &story);

// Adds the checks of every story of the catalogue.
void addStoryChecks(ContentCheckRegistry &registry);

} // namespace morvello
