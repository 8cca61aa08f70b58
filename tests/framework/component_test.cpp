#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/object.h"

namespace vantor {

// Outside the anonymous namespace, so that their class names read plainly.
class TPoint : public TPersistent {};
class TColour : public TPersistent {};

namespace {

// Records its own destruction and what it saw of its owner at that moment.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* AOwner, const std::string& AName, std::vector<std::string>& ALog)
      : TComponent(AOwner), FLog(ALog) {
    SetName(AName);
  }
  ~TProbe() override {
    FLog.push_back(Name() + (IsDestroying() ? " destroying" : " live") +
                   (Owner() && Owner()->IsDestroying() ? ", owner destroying" : ""));
  }

 private:
  std::vector<std::string>& FLog;
};

TEST(Component, OwnerFreesItsComponentsLastCreatedFirstAllMarkedDestroying) {
  std::vector<std::string> Log;
  {
    TComponent Owner(nullptr);
    auto* A = Owner.MakeOwned<TProbe>("A", Log);
    A->MakeOwned<TProbe>("A1", Log);
    Owner.MakeOwned<TProbe>("B", Log);
    EXPECT_EQ(Owner.ComponentCount(), 2);
    EXPECT_EQ(Owner.FindComponent("B"), Owner.Components(1));
    EXPECT_EQ(Owner.FindComponent(""), nullptr);
  }
  // A's own destructor body runs before A frees A1.
  const std::vector<std::string> Expected = {"B destroying, owner destroying",
                                             "A destroying, owner destroying",
                                             "A1 destroying, owner destroying"};
  EXPECT_EQ(Log, Expected);
}

class TWatcher : public TComponent {
 public:
  using TComponent::TComponent;
  std::vector<TComponent*> Removed;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (Operation == TOperation::opRemove)
      Removed.push_back(AComponent);
  }
};

TEST(Component, FreeNotificationTellsTheWatcherOnceAndForgetsIt) {
  TWatcher Watcher(nullptr);
  auto Watched = std::make_unique<TComponent>(nullptr);
  TComponent* Raw = Watched.get();
  Watcher.FreeNotification(Raw);
  Watcher.FreeNotification(Raw);  // asking twice keeps one entry
  Watched.reset();
  ASSERT_EQ(Watcher.Removed.size(), 1u);
  EXPECT_EQ(Watcher.Removed[0], Raw);
}

TEST(Persistent, AssignBetweenUnrelatedClassesIsRefusedByName) {
  TPoint Point;
  TColour Colour;
  try {
    Point.Assign(Colour);
    FAIL() << "Assign did not refuse";
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "Cannot assign a TColour to a TPoint");
    EXPECT_EQ(E.ClassName(), "EConvertError");
  }
}

}  // namespace

}  // namespace vantor
