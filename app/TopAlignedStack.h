#pragma once
// Keeps panels stacked from the top of their container without gaps, whatever height each of
// them takes, and lets one last panel fill the rest of the container. Every panel is as wide as
// the container.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class TopAlignedStack : public QObject {
  Q_OBJECT
 public:
  TopAlignedStack(QWidget* container, std::vector<QWidget*> topPanels, QWidget* fillPanel);

  void Restack();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* container_;
  std::vector<QPointer<QWidget>> topPanels_;
  QPointer<QWidget> fillPanel_;
  bool restacking_ = false;
};
