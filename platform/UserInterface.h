#pragma once
// What the archive component needs of the window system: the modal message
// dialog and serving the message queue between data blocks.
#include <string>

namespace norv {

enum class DialogKind { Information, Error };
enum class DialogButtons { Ok, OkCancel };
enum class DialogResult { Ok, Cancel };

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows `text` in the modal message dialog ("Information" or "Error"
  // caption, English buttons) and returns how it was closed. Any way of
  // closing other than OK is the cancel answer.
  virtual DialogResult MessageDialog(const std::string& text, DialogKind kind,
                                     DialogButtons buttons) = 0;
  // Processes every message waiting in the queue, then returns.
  virtual void ServeMessages() = 0;
  // Called after every data block. Serves the queue when it is due: by
  // default every time; a window system whose queue costs a round trip to
  // look at may look less often, still many times a second.
  virtual void ServeMessagesWhenDue() { ServeMessages(); }
};

}  // namespace norv
