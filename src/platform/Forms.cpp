#include "platform/Forms.h"

#include <algorithm>

#include "platform/Actions.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

namespace jxc {

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) { SetVisible(false); }

TCustomForm::~TCustomForm() {
  BeginDestroy();
  activeControl_ = nullptr;
  if (OnDestroy) {
    auto handler = OnDestroy;
    handler(*this);
  }
}

void TCustomForm::AfterConstruction() {
  if (created_) return;
  created_ = true;
  DoCreate();
}

void TCustomForm::DoCreate() {
  if (OnCreate) {
    auto handler = OnCreate;
    handler(*this);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) {
    auto handler = OnShow;
    handler(*this);
  }
}

void TCustomForm::DoHide() {
  if (OnHide) {
    auto handler = OnHide;
    handler(*this);
  }
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) {
    auto handler = OnClose;
    handler(*this, action);
  }
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) {
    auto handler = OnCloseQuery;
    handler(*this, canClose);
  }
  return canClose;
}

void TCustomForm::Show() {
  if (Visible()) return;
  SetVisible(true);
  DoShow();
}

void TCustomForm::Hide() {
  if (!Visible()) return;
  SetVisible(false);
  DoHide();
}

void TCustomForm::Release() {
  if (released_) return;
  released_ = true;
  Application().Scheduler().PostMessage(this, CM_RELEASE);
}

void TCustomForm::WndProc(TMessage& message) {
  if (message.Msg == CM_RELEASE) {
    delete this;
    return;
  }
  TWinControl::WndProc(message);
}

void TCustomForm::ApplyCloseAction(TCloseAction action) {
  switch (action) {
    case TCloseAction::caNone:
      break;
    case TCloseAction::caHide:
      Hide();
      break;
    case TCloseAction::caMinimize:
      WindowState = TWindowState::wsMinimized;
      break;
    case TCloseAction::caFree:
      Hide();
      Release();
      break;
  }
}

void TCustomForm::Close() {
  if (modal_) {
    // Closing a modal form ends its loop with "cancel"; the loop then runs OnClose.
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = FormStyle == TFormStyle::fsMDIChild ? TCloseAction::caMinimize : TCloseAction::caHide;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (Application().MainForm() == this) Application().Terminate();
  ApplyCloseAction(action);
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  modal_ = true;
  modalResult_ = mrNone;
  // A form freed by the script (or by its own handlers) must not be touched afterwards.
  struct Alive : TComponent {
    bool gone = false;
    void Notification(TComponent*, TOperation operation) override {
      if (operation == TOperation::opRemove) gone = true;
    }
  } alive;
  FreeNotification(&alive);
  Show();
  RunModalLoop();
  if (alive.gone) return mrCancel;
  RemoveFreeNotification(&alive);
  modal_ = false;
  if (modalResult_ == mrNone) modalResult_ = mrCancel;  // the script ended: the user closed the window
  TModalResult result = modalResult_;
  // The headless loop cannot wait for the user, so a handler's caNone cannot keep the form open here.
  TCloseAction action = TCloseAction::caHide;
  if (CloseQuery()) DoClose(action);
  Hide();
  if (action == TCloseAction::caFree) Release();
  return result;
}

void TCustomForm::RunModalLoop() {
  Application().ProcessMessages();
  if (modalResult_ == mrNone) {
    TApplication::ModalScript script = Application().TakeModalScript();
    if (script) Application().Dispatch([&] { script(*this); });
  }
  // The script may have freed the form; only the application is safe to use until the caller checks.
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_ || control == this) return;
  TWinControl* old = activeControl_;
  activeControl_ = control;
  if (old) {
    try {
      old->DoExit();
    } catch (...) {
      // A value the control refuses keeps the focus where it is.
      activeControl_ = old;
      throw;
    }
  }
  if (control && activeControl_ == control) control->DoEnter();
}

void TCustomForm::SelectNext(TWinControl* from, bool forward, bool tabStopOnly) {
  std::vector<TWinControl*> list = TabOrderList(*this, tabStopOnly);
  list.erase(std::remove_if(list.begin(), list.end(), [](TWinControl* c) { return !c->CanFocus(); }), list.end());
  if (list.empty()) return;
  auto it = std::find(list.begin(), list.end(), from);
  TWinControl* next;
  if (it == list.end()) {
    next = forward ? list.front() : list.back();
  } else if (forward) {
    next = (it + 1 == list.end()) ? list.front() : *(it + 1);
  } else {
    next = (it == list.begin()) ? list.back() : *(it - 1);
  }
  SetActiveControl(next);
}

bool TCustomForm::IsShortCut(int key, TShiftState shift) {
  if (OnShortCut) {
    bool handled = false;
    auto handler = OnShortCut;
    handler(*this, key, shift, handled);
    if (handled) return true;
  }
  TShortCut shortCut = ShortCut(key, shift);
  if (shortCut == scNone) return false;
  // The action lists of the form and of the frames it owns.
  std::function<bool(TComponent&)> dispatch = [&](TComponent& owner) {
    for (int i = 0; i < owner.ComponentCount(); ++i) {
      TComponent* c = owner.Components(i);
      if (auto* list = dynamic_cast<TActionList*>(c)) {
        if (list->DispatchShortCut(shortCut)) return true;
      } else if (dynamic_cast<TFrame*>(c)) {
        if (dispatch(*c)) return true;
      }
    }
    return false;
  };
  return dispatch(*this);
}

void TCustomForm::PressKey(int key, TShiftState shift) {
  TWinControl* target = activeControl_ ? activeControl_ : this;
  Application().Dispatch([&] {
    TMessage down;
    down.Msg = WM_KEYDOWN;
    down.WParam = key;
    down.LParam = shift;
    target->WndProc(down);
    char32_t ch = KeyToChar(key, shift);
    if (down.Result == 0 && ch != 0) {
      // As the system's key translation does: the character goes to the window that got the key-down.
      TMessage typed;
      typed.Msg = WM_CHAR;
      typed.WParam = ch;
      target->WndProc(typed);
    }
  });
  Application().ProcessMessages();
}

void TCustomForm::TypeChar(char32_t key) {
  TWinControl* target = activeControl_ ? activeControl_ : this;
  Application().Dispatch([&] {
    TMessage typed;
    typed.Msg = WM_CHAR;
    typed.WParam = key;
    target->WndProc(typed);
  });
  Application().ProcessMessages();
}

void TCustomForm::TypeText(std::string_view text) {
  for (char32_t ch : Utf8ToUtf32(text)) TypeChar(ch);
}

}  // namespace jxc
