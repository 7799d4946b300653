#include "tapwise/foundation/Component.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"

namespace tapwise {
namespace {

using Log = std::vector<std::string>;

// A component with one plain link to another, kept the way the library's components keep
// theirs (the parser's component link, the component's parser link).
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::string name, Log* log) : TComponent(owner), FLog(log) {
    SetName(name);
    FLabel = "probe " + name;
  }
  ~Probe() override { FLog->push_back("~" + GetName()); }

  TComponent* GetLink() const { return FLink; }
  void SetLink(TComponent* link) {
    if (link == FLink) return;
    if (FLink != nullptr) FLink->RemoveFreeNotification(this);
    FLink = link;
    if (FLink != nullptr) FLink->FreeNotification(this);
  }
  void Loaded() override {
    TComponent::Loaded();
    FLog->push_back("loaded " + GetName());
    if (FFailOnLoad) throw std::runtime_error("bad " + GetName());
  }
  bool FFailOnLoad = false;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    // FLabel is a derived member: it must still be intact when notifications arrive.
    FLog->push_back(FLabel + (operation == opInsert ? " +" : " -") + component->GetName());
    if (operation == opRemove && component == FLink) SetLink(nullptr);
  }

 private:
  Log* FLog;
  std::string FLabel;
  TComponent* FLink = nullptr;
};

bool Contains(const Log& log, const std::string& line) {
  return std::find(log.begin(), log.end(), line) != log.end();
}

TEST(Component, OwnerDestroysOwnedComponentsNewestFirst) {
  Log log;
  auto form = std::make_unique<Probe>(nullptr, "form", &log);
  new Probe(form.get(), "parser", &log);
  new Probe(form.get(), "timer", &log);
  new Probe(form.get(), "logic", &log);
  ASSERT_EQ(form->GetComponentCount(), 3);
  EXPECT_EQ(form->GetComponent(0)->GetName(), "parser");
  EXPECT_EQ(form->FindComponent("LOGIC"), form->GetComponent(2));
  EXPECT_EQ(form->FindComponent("nothing"), nullptr);
  form.reset();
  Log destroyed;
  for (const auto& line : log) {
    if (line[0] == '~') destroyed.push_back(line);
  }
  EXPECT_EQ(destroyed, (Log{"~logic", "~timer", "~parser", "~form"}));
}

TEST(Component, DestroyedComponentLeavesItsOwnerAndSiblingsHearOfIt) {
  Log log;
  Probe form(nullptr, "form", &log);
  auto* parser = new Probe(&form, "parser", &log);
  auto* logic = new Probe(&form, "logic", &log);
  // Siblings hear of insertions; the newcomer is still being built, so it has no name yet.
  EXPECT_TRUE(Contains(log, "probe parser +"));
  delete parser;
  EXPECT_EQ(form.GetComponentCount(), 1);
  EXPECT_EQ(form.GetComponent(0), logic);
  EXPECT_TRUE(Contains(log, "probe logic -parser"));
  EXPECT_TRUE(Contains(log, "probe form -parser"));
  EXPECT_THROW_MSG(form.GetComponent(1), EListError, "List index out of bounds (1)");
}

TEST(Component, LinksAreClearedWhenTheLinkedComponentGoes) {
  Log log;
  auto parser = std::make_unique<Probe>(nullptr, "parser", &log);
  auto logic = std::make_unique<Probe>(nullptr, "logic", &log);
  logic->SetLink(parser.get());
  parser->SetLink(logic.get());
  parser.reset();
  EXPECT_EQ(logic->GetLink(), nullptr);
  // The other direction was dropped too: destroying logic now touches nothing that is gone.
  logic.reset();

  // The listener goes first: the target forgets it and later notifies nobody.
  auto target = std::make_unique<Probe>(nullptr, "target", &log);
  auto listener = std::make_unique<Probe>(nullptr, "listener", &log);
  listener->SetLink(target.get());
  listener.reset();
  log.clear();
  target.reset();
  EXPECT_EQ(log, (Log{"~target"}));
}

TEST(Component, RemovedFreeNotificationIsNotCalled) {
  Log log;
  auto target = std::make_unique<Probe>(nullptr, "target", &log);
  Probe listener(nullptr, "listener", &log);
  listener.SetLink(target.get());
  listener.SetLink(nullptr);
  target.reset();
  EXPECT_FALSE(Contains(log, "probe listener -target"));
}

TEST(Component, MutuallyLinkedSiblingsDieTogetherCleanly) {
  Log log;
  auto form = std::make_unique<Probe>(nullptr, "form", &log);
  auto* parser = new Probe(form.get(), "parser", &log);
  auto* logic = new Probe(form.get(), "logic", &log);
  auto outsider = std::make_unique<Probe>(nullptr, "outsider", &log);
  parser->SetLink(logic);
  logic->SetLink(parser);
  outsider->SetLink(parser);
  form.reset();
  EXPECT_EQ(outsider->GetLink(), nullptr);
  EXPECT_TRUE(Contains(log, "probe parser -logic"));
}

TEST(Component, OwnerSeesItsOwnedComponentsGoWhileStillWhole) {
  // Deleting the owner through the heap runs the removals before any destructor, so the
  // owner's own override (which reads its derived member) still runs for each child.
  Log log;
  auto* form = new Probe(nullptr, "form", &log);
  new Probe(form, "a", &log);
  delete form;
  EXPECT_TRUE(Contains(log, "probe form -a"));
  const auto child_gone = std::find(log.begin(), log.end(), "~a");
  const auto form_gone = std::find(log.begin(), log.end(), "~form");
  EXPECT_LT(child_gone, form_gone);
}

TEST(Component, NamesAreUniqueAmongSiblings) {
  Log log;
  Probe form(nullptr, "form", &log);
  auto* a = new Probe(&form, "Timer1", &log);
  auto* b = new Probe(&form, "other", &log);
  EXPECT_THROW_MSG(b->SetName("timer1"), EComponentError,
                   "A component named timer1 already exists");
  EXPECT_EQ(b->GetName(), "other");
  a->SetName("TIMER1");  // its own name in another case is fine
  EXPECT_EQ(a->GetName(), "TIMER1");
  EXPECT_THROW_MSG(form.InsertComponent(&form), EComponentError,
                   "Component form cannot be owned by itself or by one of its own components");
}

TEST(Component, InsertComponentMovesOwnership) {
  Log log;
  Probe first(nullptr, "first", &log);
  Probe second(nullptr, "second", &log);
  auto* child = new Probe(&first, "child", &log);
  second.InsertComponent(child);
  EXPECT_EQ(child->GetOwner(), &second);
  EXPECT_EQ(first.GetComponentCount(), 0);
  EXPECT_EQ(second.GetComponentCount(), 1);
  EXPECT_THROW_MSG(
      child->InsertComponent(&second), EComponentError,
      "Component second cannot be owned by itself or by one of its own components");  // would own
                                                                                      // its owner
  second.RemoveComponent(child);
  EXPECT_EQ(child->GetOwner(), nullptr);
  delete child;
}

TEST(Component, LoadingEndsWithLoadedOnEveryComponentPartsFirst) {
  Log log;
  Probe form(nullptr, "form", &log);
  auto* parser = new Probe(&form, "parser", &log);
  auto* logic = new Probe(&form, "logic", &log);
  form.BeginLoading();
  EXPECT_TRUE(form.IsLoading());
  EXPECT_TRUE(logic->IsLoading());
  log.clear();
  form.EndLoading();
  EXPECT_EQ(log, (Log{"loaded parser", "loaded logic", "loaded form"}));
  EXPECT_FALSE(form.IsLoading());
  EXPECT_FALSE(parser->IsLoading());

  // A failing Loaded does not keep the others loading; the first failure is raised.
  form.BeginLoading();
  parser->FFailOnLoad = true;
  logic->FFailOnLoad = true;
  EXPECT_THROW_MSG(form.EndLoading(), std::runtime_error, "bad parser");
  EXPECT_FALSE(form.IsLoading());
  EXPECT_FALSE(logic->IsLoading());
}

class FailingComponent : public TComponent {
 public:
  explicit FailingComponent(TComponent* owner) : TComponent(owner) {
    throw std::runtime_error("refused");
  }
};

TEST(Component, ComponentWhoseConstructionFailsLeavesNoTrace) {
  Log log;
  Probe form(nullptr, "form", &log);
  EXPECT_THROW_MSG(new FailingComponent(&form), std::runtime_error, "refused");
  EXPECT_EQ(form.GetComponentCount(), 0);
}

}  // namespace
}  // namespace tapwise
