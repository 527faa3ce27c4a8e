#pragma once
// The preset text messages: 50 records of 144 name units in the text message list.
// Records are written with the list's initEntry; delete runs the shared record-list
// engine, so one-touch entries that send a message follow the renumbering.

#include <string>
#include <string_view>
#include <vector>

#include "codeplug/CodePlugDocument.h"

namespace pw {

// The message text as shown: no substitute for a record that decodes to nothing.
std::string messageText(const CodePlugDocument& doc, int index);
// The message's characters as stored (low byte of each unit up to the first 0x00 or
// 0xFF, at most 144), untrimmed: what the one-touch buttons show of it.
std::string storedMessageText(const CodePlugDocument& doc, int index);
// Record indexes of the messages the list shows (decoded text not empty), ascending.
std::vector<int> shownMessages(const CodePlugDocument& doc);
// Adds the trimmed text ("Hello" when empty) in the first free record: its index,
// -2 when all 50 are used, -1 without an image.
int addMessage(CodePlugDocument& doc, std::string_view text);
// Stores the trimmed text in record `index`; an empty text becomes "Message <index + 1>".
// False (and nothing written) for an index outside the list or without an image.
bool setMessageText(CodePlugDocument& doc, int index, std::string_view text);
// Deletes message number n (1-based): 0 deleted, -1 refused and go on (also no image or
// n out of range), -2 refused and stop. One-touch entries above n drop by one.
int deleteMessage(CodePlugDocument& doc, int n);

}  // namespace pw
