#pragma once
// The detail controls of the Channels tab in their three groups. They show what the
// selected channels share (a mixed value shows no choice, no button down, an empty
// box) and write every change to each selected channel. Radio groups keep their own
// state: a mixed selection shows every button up, which an exclusive group cannot.

#include <QLineEdit>
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "channels/ChannelChoices.h"
#include "channels/ChannelRecord.h"

class QAbstractButton;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QWidget;

// A frequency box: digits, "." and "," only; Enter asks for the stored value, Escape
// does nothing. Every keystroke that changes the text arrives as textEdited.
class FrequencyEdit : public QLineEdit {
 public:
  explicit FrequencyEdit(QWidget* parent = nullptr);
  std::function<void()> enterPressed;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class ChannelDetails : public QObject {
  Q_OBJECT
 public:
  // `selectedRows` gives the rows (= channel slots) every change is written to.
  ChannelDetails(pw::CodePlugDocument& doc, QWidget* host, std::function<std::vector<int>()> selectedRows);
  ~ChannelDetails() override;

  QGroupBox* commonGroup() const { return common_; }
  QGroupBox* digitalGroup() const { return digital_; }
  QGroupBox* analogueGroup() const { return analogue_; }

  // Re-reads the lists of other records and shows what `rows` share; the controls are
  // enabled while a code plug is loaded and a row is selected.
  void show(const std::vector<int>& rows);
  // While it answers true, changes in the controls are not written (the list moves rows).
  std::function<bool()> busy;

 private:
  struct Radio;
  struct Toggle;
  struct Choice;
  struct Frequency;

  QGroupBox* makeGroup(QWidget* host, const char* title, const char* hint, QGridLayout*& grid);
  // One button per button choice of the field (its text and value), named in that order.
  void addRadio(QGridLayout* grid, int row, const char* caption, pw::ChannelField field,
                std::vector<const char*> names);
  struct ToggleDef {
    const char* caption;
    const char* name;
    pw::ChannelField field;
    const char* hint = nullptr;
  };
  void addToggles(QGridLayout* grid, int row, const std::vector<ToggleDef>& toggles);
  QComboBox* addChoice(QGridLayout* grid, int row, const char* caption, const char* name,
                       pw::ChannelField field, const char* hint = nullptr);
  void addFrequency(QGridLayout* grid, int row, const char* caption, const char* name,
                    pw::ChannelField field);

  bool ignoring() const;
  void write(pw::ChannelField field, std::uint32_t value);
  void radioClicked(Radio& radio, QAbstractButton* clicked);
  void modeChosen(std::uint32_t mode);
  void choiceChosen(Choice& choice, int index);
  void frequencyEdited(Frequency& frequency, const QString& text);
  void frequencyEnter(Frequency& frequency);
  void fillReferenceChoices(Choice& choice);
  void enable(const std::vector<int>& rows);
  QAbstractButton* named(const char* name) const;

  pw::CodePlugDocument& doc_;
  std::function<std::vector<int>()> selectedRows_;
  QGroupBox* common_ = nullptr;
  QGroupBox* digital_ = nullptr;
  QGroupBox* analogue_ = nullptr;
  std::vector<std::unique_ptr<Radio>> radios_;
  std::vector<std::unique_ptr<Toggle>> toggles_;
  std::vector<std::unique_ptr<Choice>> choices_;
  std::vector<std::unique_ptr<Frequency>> frequencies_;
  bool filling_ = false;
};
