#include "channels/Channelsunit.h"

TChannelsForm::TChannelsForm(pw::CodePlugDocument& document, QWidget* parent) : TabForm(document, parent) {
  setObjectName("ChannelsForm");
}

void TChannelsForm::refresh(bool, int) {}
