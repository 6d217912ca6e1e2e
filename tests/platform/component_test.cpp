#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Component.h"
#include "platform/Exceptions.h"

namespace jxc {
namespace {

// Records its own destruction and the removals it is told about.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name, std::vector<std::string>* log) : TComponent(owner), log_(log) {
    SetName(std::move(name));
  }
  ~Probe() override { log_->push_back("free " + Name()); }
  TComponent* watched = nullptr;
  using TComponent::DestroyComponents;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == TOperation::opRemove && component == watched) {
      log_->push_back(Name() + " forgets " + component->Name());
      watched = nullptr;
    }
  }

 private:
  std::vector<std::string>* log_;
};

TEST(ComponentOwnership, OwnerFreesOwnedLastFirst) {
  std::vector<std::string> log;
  auto* form = new Probe(nullptr, "frm", &log);
  new Probe(form, "cdsMain", &log);
  new Probe(form, "dsMain", &log);
  EXPECT_EQ(form->ComponentCount(), 2);
  delete form;
  EXPECT_EQ(log, (std::vector<std::string>{"free frm", "free dsMain", "free cdsMain"}));
}

TEST(ComponentOwnership, OwnerMayFreeItsComponentsWhileStillItself) {
  std::vector<std::string> log;
  Probe form(nullptr, "frm", &log);
  auto* source = new Probe(&form, "ds", &log);
  form.watched = source;
  form.DestroyComponents();
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.watched, nullptr);  // the owner is told when what it owns goes
  EXPECT_EQ(log, (std::vector<std::string>{"free ds", "frm forgets ds"}));
}

TEST(ComponentOwnership, FreedEarlyLeavesItsOwner) {
  std::vector<std::string> log;
  Probe form(nullptr, "frm", &log);
  auto* timer = new Probe(&form, "tmr", &log);
  new Probe(&form, "act", &log);
  delete timer;
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0)->Name(), "act");
  EXPECT_THROW(form.Components(1), EArgumentError);
}

TEST(ComponentNames, FindIsCaseInsensitiveAndDuplicatesAreRefused) {
  std::vector<std::string> log;
  Probe form(nullptr, "frm", &log);
  auto* cds = new Probe(&form, "cdsMain", &log);
  new Probe(&form, "", &log);
  EXPECT_EQ(form.FindComponent("CDSMAIN"), cds);
  EXPECT_EQ(form.FindComponentAs<Probe>("cdsmain"), cds);
  EXPECT_EQ(form.FindComponent(""), nullptr);
  EXPECT_EQ(form.FindComponent("none"), nullptr);
  try {
    new Probe(&form, "CdsMain", &log);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "A component named CdsMain already exists");
  }
  // Names made of pinyin initials may hold brackets.
  cds->SetName("XSD(PF)");
  EXPECT_EQ(form.FindComponent("xsd(pf)"), cds);
  cds->Tag = 7;
  EXPECT_EQ(cds->Tag, 7);
}

TEST(ComponentOwnership, ChangeOwnerMovesTheComponent) {
  std::vector<std::string> log;
  Probe a(nullptr, "a", &log);
  Probe b(nullptr, "b", &log);
  auto* child = new Probe(&a, "child", &log);
  child->ChangeOwner(&b);
  EXPECT_EQ(a.ComponentCount(), 0);
  EXPECT_EQ(b.FindComponent("child"), child);
  EXPECT_EQ(child->Owner(), &b);
  child->ChangeOwner(nullptr);
  EXPECT_EQ(b.ComponentCount(), 0);
  delete child;
}

TEST(ComponentNotification, ObserversForgetWhatGoes) {
  std::vector<std::string> log;
  Probe form(nullptr, "frm", &log);
  auto* grid = new Probe(&form, "grid", &log);
  {
    Probe source(nullptr, "ds", &log);
    grid->watched = &source;
    source.FreeNotification(grid);
  }
  EXPECT_EQ(grid->watched, nullptr);
  EXPECT_EQ(log.front(), "free ds");
  EXPECT_EQ(log.back(), "grid forgets ds");

  // An observer freed first is no longer told.
  auto* other = new Probe(nullptr, "other", &log);
  {
    Probe source(nullptr, "ds2", &log);
    source.FreeNotification(other);
    delete other;
  }
  EXPECT_EQ(log.back(), "free ds2");
}

}  // namespace
}  // namespace jxc
