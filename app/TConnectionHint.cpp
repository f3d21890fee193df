#include "TConnectionHint.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QStringList>
#include <utility>

namespace {

// Under the splash's bar (135..489, y 170-174), centred on it, room for three lines.
constexpr QRect kLineGeometry(42, 186, 540, 64);
constexpr int kSizeStepDown = 1;

QString TroubleText(TConnectionTrouble trouble, const QString& path,
                    TConnectionHint::TWording wording) {
  switch (trouble) {
    case TConnectionTrouble::ctNone:
      return {};
    case TConnectionTrouble::ctNoPedalSet:
      return QStringLiteral("No pedal set found. Plug it in.");
    case TConnectionTrouble::ctCannotOpen:
      if (wording == TConnectionHint::TWording::Windows) {
        return QStringLiteral(
            "The pedal set was found, but it could not be opened. Close other programs that use "
            "it.");
      }
      return QStringLiteral(
                 "The pedal set was found, but this user may not open it (%1). Install the udev "
                 "rule (see README) and plug the pedal set in again.")
          .arg(path);
    case TConnectionTrouble::ctNoAnswer:
      return QStringLiteral("The pedal set does not answer. Plug it in again.");
  }
  return {};
}

}  // namespace

TConnectionHint::TConnectionHint(QWidget* splash, const QFont& font,
                                 std::function<TConnectionFacts()> facts)
    : QObject(splash), splash_(splash), line_(new QLabel(splash)), facts_(std::move(facts)) {
  line_->setObjectName("ConHintLabel");
  QFont smaller = font;
  smaller.setPixelSize(font.pixelSize() - kSizeStepDown);
  line_->setFont(smaller);
  line_->setGeometry(kLineGeometry);
  line_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  line_->setWordWrap(true);
  timer_.setInterval(kRefreshInterval);
  connect(&timer_, &QTimer::timeout, this, &TConnectionHint::Refresh);
  splash_->installEventFilter(this);
  if (!splash_->isHidden()) timer_.start();
}

void TConnectionHint::Refresh() {
  const TConnectionFacts facts = facts_();
  line_->setText(TextFor(JudgeConnection(facts), facts.PedalSetPath));
}

QString TConnectionHint::TextFor(const TConnectionVerdict& verdict, const QString& path,
                                 TWording wording) {
  QStringList lines{TroubleText(verdict.Trouble, path, wording)};
  if (verdict.PlugInNotNoticed) {
    lines.append(QStringLiteral(
        "Plug-in is not noticed here: start the program after plugging the pedal set in."));
  }
  return lines.join(QLatin1Char('\n'));
}

bool TConnectionHint::eventFilter(QObject* watched, QEvent* event) {
  // Sent when the splash itself is shown or hidden, also while the window is not on screen.
  if (watched == splash_ && event->type() == QEvent::ShowToParent) {
    timer_.start();
    Refresh();
  } else if (watched == splash_ && event->type() == QEvent::HideToParent) {
    timer_.stop();
  }
  return QObject::eventFilter(watched, event);
}
