// Tour: the dialog with one person (text and voice on both sides), a voice recording under
// way, a message of several lines and the partner's voice message playing. The recording comes
// from a synthesised tone, as with --voice-input, and the playback goes to a player that plays
// until told to end, since a headless run has neither microphone nor loudspeaker.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <cmath>
#include <memory>
#include <numbers>

#include "app/Tour.h"
#include "ui/controller/main/IndexController.h"
#include "ui/controller/message/MessageController.h"
#include "ui/controller/message/MessageView.h"
#include "ui/controller/message/UIBubbleTableView.h"
#include "ui/controller/message/UIExpandingTextView.h"
#include "ui/controller/message/UIInputToolbar.h"
#include "ui/kit/CheckBox.h"
#include "ui/kit/LongPressButton.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/ProgressHUD.h"
#include "ui/kit/Window.h"
#include "ui/platform/AudioStack.h"
#include "ui/platform/ManualAudioPlayer.h"
#include "ui/platform/WavFileAudioRecorder.h"

namespace oa {

namespace {

NavigationController* navOf(Window* window) {
    return window ? qobject_cast<NavigationController*>(window->rootViewController()) : nullptr;
}

// The dialog on top, loaded, nothing moving.
MessageController* dialogAtRest(Window* window) {
    NavigationController* nav = navOf(window);
    if (!nav || nav->isTransitioning() || nav->presentedViewController()) {
        return nullptr;
    }
    auto* dialog = qobject_cast<MessageController*>(nav->topViewController());
    if (!dialog || !dialog->isAppeared() || dialog->isLoading() || dialog->isSendingVoice() ||
        dialog->bubbleData().empty() || ProgressHUD::state() != ProgressHUD::State::Hidden) {
        return nullptr;
    }
    return dialog;
}

void sendMouse(QWidget* widget, QEvent::Type type) {
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent event(type, local, widget->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// Four seconds of a 440 Hz tone, 8 kHz mono.
Pcm16 tone() {
    Pcm16 pcm{8000, 1, {}};
    pcm.samples.resize(32000);
    for (std::size_t i = 0; i < pcm.samples.size(); ++i) {
        pcm.samples[i] = static_cast<std::int16_t>(
            10000 * std::sin(2 * std::numbers::pi * 440 * static_cast<double>(i) / 8000));
    }
    return pcm;
}

}  // namespace

void Tour::addDialogStops() {
    Window* window = window_;
    stops_.push_back(
        {"conversations for the dialog",
         [window] {
             NavigationController* nav = navOf(window);
             auto* index = nav ? qobject_cast<IndexController*>(nav->topViewController()) : nullptr;
             return index && !nav->isTransitioning() && !index->message_view()->list().empty();
         },
         false,
         [window] {
             auto* index = qobject_cast<IndexController*>(navOf(window)->topViewController());
             const auto& list = index->message_view()->list();
             // The conversation with "2" holds texts of both sides and a voice
             // message of the partner's; the recording adds one of the user's.
             auto chosen = list.front();
             for (const auto& row : list) {
                 if (row->q_id == "2") {
                     chosen = row;
                 }
             }
             index->enterMessage(chosen->q_id.value_or(""), chosen->q_name.value_or(""));
         }});
    // How long the record button has been held: the recording is shown after two seconds.
    auto held = std::make_shared<QElapsedTimer>();
    stops_.push_back({"dialog loaded", [window] { return dialogAtRest(window) != nullptr; }, false,
                      [window, held] {
                          MessageController* dialog = dialogAtRest(window);
                          AudioStack::setRecorderFactory([](QObject* parent) -> AudioRecorder* {
                              return new WavFileAudioRecorder(tone(), {}, parent);
                          });
                          dialog->inputToolbar()->check()->click();
                          sendMouse(dialog->inputToolbar()->recordButton(),
                                    QEvent::MouseButtonPress);
                          held->start();
                      }});
    stops_.push_back(
        {"23-recording",
         [window, held] {
             auto* dialog = qobject_cast<MessageController*>(navOf(window)->topViewController());
             return dialog && dialog->recording()->isRecording() && held->elapsed() >= 2000;
         },
         true,
         [window] {
             auto* dialog = qobject_cast<MessageController*>(navOf(window)->topViewController());
             sendMouse(dialog->inputToolbar()->recordButton(), QEvent::MouseButtonRelease);
             dialog->inputToolbar()->check()->click();
         }});
    stops_.push_back({"22-dialog",
                      [window] {
                          MessageController* dialog = dialogAtRest(window);
                          if (!dialog || dialog->recording()->isConverting()) {
                              return false;
                          }
                          // The user's voice message is back from the server.
                          for (const auto& bubble : dialog->bubbleData()) {
                              if (bubble->isVoice() && bubble->isMine()) {
                                  return true;
                              }
                          }
                          return false;
                      },
                      true,
                      [window] {
                          // A message of three lines, sent as typed.
                          MessageController* dialog = dialogAtRest(window);
                          dialog->inputToolbar()->textView()->setText(
                              QStringLiteral("下午三点开会\n请准时到\n带上季度报表"));
                          dialog->inputToolbar()->inputButtonPressed();
                      }});
    auto player = std::make_shared<QPointer<ManualAudioPlayer>>();
    auto playing = std::make_shared<QElapsedTimer>();
    stops_.push_back({"22a-dialog-lines",
                      [window] {
                          MessageController* dialog = dialogAtRest(window);
                          // Sent and scrolled all the way down to it.
                          if (!dialog || dialog->bubbleTable()->contentOffset() <
                                             dialog->bubbleTable()->maximumContentOffset() - 1) {
                              return false;
                          }
                          for (const auto& bubble : dialog->bubbleData()) {
                              if (bubble->isMine() && bubble->text().contains(u"带上季度报表")) {
                                  return true;
                              }
                          }
                          return false;
                      },
                      true,
                      [window, player, playing] {
                          MessageController* dialog = dialogAtRest(window);
                          AudioStack::setPlayerFactory([player](QObject* parent) -> AudioPlayer* {
                              auto* made = new ManualAudioPlayer(parent);
                              *player = made;
                              return made;
                          });
                          // The partner's latest voice message, tapped where it shows.
                          const auto& bubbles = dialog->bubbleData();
                          for (int row = int(bubbles.size()) - 1; row >= 0; --row) {
                              if (bubbles[row]->isVoice() && !bubbles[row]->isMine()) {
                                  UIBubbleTableView* table = dialog->bubbleTable();
                                  table->scrollToRowAtIndexPath(
                                      {row, 0}, TableView::ScrollPosition::Middle, false);
                                  table->startPlayAnimation(row);
                                  dialog->playVoice(bubbles[row]);
                                  playing->start();
                                  return;
                              }
                          }
                      }});
    stops_.push_back({"22b-dialog-voice-playing",
                      [window, player, playing] {
                          MessageController* dialog = dialogAtRest(window);
                          // Downloaded, decoded and playing, its animation a frame on.
                          return dialog && *player && (*player)->isPlaying() &&
                                 dialog->bubbleTable()->isPlaying() && playing->elapsed() >= 700;
                      },
                      true,
                      [player] {
                          if (*player) {
                              (*player)->finish(true);
                          }
                          AudioStack::setPlayerFactory({});
                      }});
}

}  // namespace oa
