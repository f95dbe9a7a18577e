// The grid search with callbacks over small maps and explicit graphs: expansion order, ties,
// re-parenting of open and closed nodes, the step budget and the notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/PathSearch.h"

namespace {

using Cell = std::pair<int, int>;

// What the callbacks see: the cells that may be entered and from where, step costs and
// estimates, and every notification as "child <code> <x>,<y> from <x>,<y>" or
// "list <code> <x>,<y> by <x>,<y>" (a dash for no neighbour).
struct Graph {
  // Edges that may be taken; with none listed, any cell of `open` may be entered from any
  // neighbour.
  std::set<std::pair<Cell, Cell>> edges;
  std::set<Cell> open;
  std::map<std::pair<Cell, Cell>, double> costs;
  std::map<Cell, double> estimates;
  std::vector<std::string> notes;
  std::vector<Cell> goalsSeen;

  static Cell At(const gePathNode* node) { return {node->x, node->y}; }
  static std::string Name(const gePathNode* node) {
    return node ? std::to_string(node->x) + "," + std::to_string(node->y) : "-";
  }

  static int Valid(gePathNode* parent, gePathNode* candidate, int, void* data) {
    auto* graph = static_cast<Graph*>(data);
    if (!graph->edges.empty()) return graph->edges.count({At(parent), At(candidate)}) ? 1 : 0;
    return graph->open.count(At(candidate)) ? 1 : 0;
  }
  static double Cost(gePathNode* parent, gePathNode* child, int, void* data) {
    auto* graph = static_cast<Graph*>(data);
    const auto found = graph->costs.find({At(parent), At(child)});
    return found != graph->costs.end() ? found->second : 1.0;
  }
  static double Estimate(gePathNode* goal, gePathNode* node, int, void* data) {
    auto* graph = static_cast<Graph*>(data);
    graph->goalsSeen.push_back(At(goal));
    const auto found = graph->estimates.find(At(node));
    if (found != graph->estimates.end()) return found->second;
    return std::abs(goal->x - node->x) + std::abs(goal->y - node->y);
  }
  static int ChildNote(gePathNode* parent, gePathNode* node, int code, void* data) {
    static_cast<Graph*>(data)->notes.push_back("child " + std::to_string(code) + " " + Name(node) +
                                               " from " + Name(parent));
    return 0;
  }
  static int ListNote(gePathNode* neighbour, gePathNode* node, int code, void* data) {
    static_cast<Graph*>(data)->notes.push_back("list " + std::to_string(code) + " " + Name(node) +
                                               " by " + Name(neighbour));
    return 0;
  }

  // Rows of the map, top row y = 0: '.' free, '#' blocked.
  void Map(const std::vector<std::string>& rows) {
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
      for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
        if (rows[y][x] == '.') open.insert({x, y});
  }

  // The notes that start with `prefix`.
  std::vector<std::string> Notes(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& note : notes)
      if (note.rfind(prefix, 0) == 0) found.push_back(note);
    return found;
  }
};

class PathSearchTest : public ::testing::Test {
 protected:
  void Prepare(bool withCallbacks = true, unsigned budget = 100, int rowLength = 16) {
    m_search.Reset();
    if (withCallbacks) {
      m_search.pfnValid = &Graph::Valid;
      m_search.pfnCost = &Graph::Cost;
      m_search.pfnHeuristic = &Graph::Estimate;
    }
    m_search.pfnChildNotify = &Graph::ChildNote;
    m_search.pfnListNotify = &Graph::ListNote;
    m_search.pCallbackData = &m_graph;
    m_search.pNotifyData = &m_graph;
    m_search.dwStepBudgetFactor = budget;
    m_search.nRowLength = rowLength;
  }
  // The way from the best node back to the start, start first.
  std::vector<Cell> Way() const {
    std::vector<Cell> way;
    for (const gePathNode* node = m_search.pBest; node; node = node->pParent)
      way.insert(way.begin(), Graph::At(node));
    return way;
  }
  int ListLength(const gePathNode* node) const {
    int count = 0;
    for (; node; node = node->pNext) ++count;
    return count;
  }
  gePathNode* Find(int x, int y) const {
    for (gePathNode* list : {m_search.pOpen, m_search.pClosed})
      for (gePathNode* node = list; node; node = node->pNext)
        if (node->x == x && node->y == y) return node;
    return nullptr;
  }

  Graph m_graph;
  geCPathSearch m_search;
};

TEST_F(PathSearchTest, AStartOnTheGoalIsAWayOfOneNode) {
  m_graph.Map({"...", "...", "..."});
  Prepare();
  ASSERT_TRUE(m_search.Search(1, 1, 1, 1));
  ASSERT_NE(m_search.pBest, nullptr);
  EXPECT_EQ(Way(), (std::vector<Cell>{{1, 1}}));
  EXPECT_EQ(m_search.pBest->nNumber, 17);
  EXPECT_EQ(m_graph.notes, (std::vector<std::string>{"list 1 1,1 by -", "child 0 1,1 from -",
                                                     "list 2 1,1 by -", "list 3 1,1 by -"}));
  EXPECT_EQ(m_search.GetNodeCount(), 1);
}

TEST_F(PathSearchTest, AWayAroundAWallFollowsParentsBackToTheStart) {
  m_graph.Map({".....", ".###.", "....."});
  Prepare();
  ASSERT_TRUE(m_search.Search(0, 1, 4, 1));
  const std::vector<Cell> way = Way();
  ASSERT_FALSE(way.empty());
  EXPECT_EQ(way.front(), (Cell{0, 1}));
  EXPECT_EQ(way.back(), (Cell{4, 1}));
  for (size_t i = 0; i < way.size(); ++i) {
    EXPECT_TRUE(m_graph.open.count(way[i]));
    if (i == 0) continue;
    EXPECT_LE(std::abs(way[i].first - way[i - 1].first), 1);
    EXPECT_LE(std::abs(way[i].second - way[i - 1].second), 1);
  }
  // Every step costs 1, so the goal's g counts the steps.
  EXPECT_EQ(m_search.pBest->g, static_cast<double>(way.size() - 1));
  // The heuristic always measures against the goal node.
  for (const Cell& goal : m_graph.goalsSeen) EXPECT_EQ(goal, (Cell{4, 1}));
  EXPECT_EQ(m_search.goalNode.nNumber, 20);
}

TEST_F(PathSearchTest, AnEnclosedGoalFailsWhenTheOpenListRunsEmpty) {
  m_graph.Map({".....", ".###.", ".#.#.", ".###."});
  Prepare();
  EXPECT_FALSE(m_search.Search(0, 0, 2, 2));
  EXPECT_EQ(m_search.pBest, nullptr);
  EXPECT_EQ(m_search.pOpen, nullptr);
  // Every free cell outside the ring was taken once.
  EXPECT_EQ(ListLength(m_search.pClosed), 11);
}

TEST_F(PathSearchTest, NeighboursAreTriedInOrderAndTheNewestOfEqualFIsTakenFirst) {
  // No callbacks: every step costs 1 and every estimate is 1, so all neighbours tie at f 2.
  Prepare(false, 0);
  EXPECT_FALSE(m_search.Search(5, 5, 9, 9));  // no step at all: only the start is made
  EXPECT_EQ(m_graph.notes, (std::vector<std::string>{"list 1 5,5 by -", "child 0 5,5 from -"}));

  m_graph.notes.clear();
  m_search.dwStepBudgetFactor = 1;
  m_search.Search(5, 5, 9, 9);
  const std::vector<std::string> made = m_graph.Notes("child 5");
  ASSERT_GE(made.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(made.begin(), made.begin() + 8),
            (std::vector<std::string>{"child 5 4,4 from 5,5", "child 5 4,5 from 5,5",
                                      "child 5 4,6 from 5,5", "child 5 5,4 from 5,5",
                                      "child 5 5,6 from 5,5", "child 5 6,4 from 5,5",
                                      "child 5 6,5 from 5,5", "child 5 6,6 from 5,5"}));
  // Each new node of equal f went to the front, and the last one made is taken next.
  const std::vector<std::string> list = m_graph.Notes("list");
  ASSERT_GE(list.size(), 13u);
  EXPECT_EQ(list[3], "list 1 4,4 by -");
  EXPECT_EQ(list[4], "list 1 4,5 by 4,4");
  EXPECT_EQ(list[11], "list 2 6,6 by -");
  EXPECT_EQ(list[12], "list 3 6,6 by -");
  // From (6,6) the closed start and the open (6,5) are no cheaper than before.
  const std::vector<std::string> links = m_graph.Notes("child");
  for (const char* link : {"child 4 5,5 from 6,6", "child 2 6,5 from 6,6"})
    EXPECT_NE(std::find(links.begin(), links.end(), link), links.end()) << link;
}

TEST_F(PathSearchTest, AnOpenListStaysOrderedByRisingF) {
  // Estimates chosen so that each new node lands in a different place.
  m_graph.Map({"...", "...", "..."});
  m_graph.estimates = {{{0, 0}, 5}, {{0, 1}, 2}, {{0, 2}, 7}, {{1, 0}, 2},
                       {{1, 2}, 9}, {{2, 0}, 1}, {{2, 1}, 4}, {{2, 2}, 3}};
  Prepare(true, 1, 3);
  m_search.Search(1, 1, 7, 7);
  std::vector<double> fs;
  for (gePathNode* node = m_search.pOpen; node; node = node->pNext) fs.push_back(node->f);
  EXPECT_TRUE(std::is_sorted(fs.begin(), fs.end()));
  const std::vector<std::string> list = m_graph.Notes("list");
  // (0,1) f 3 after (0,0) f 6: new head; (0,2) f 8 at the end, after (0,0).
  EXPECT_EQ(list[4], "list 1 0,1 by 0,0");
  EXPECT_EQ(list[5], "list 0 0,2 by 0,0");
}

TEST_F(PathSearchTest, ReachingAnOpenNodeAgainKeepsItsParentUnlessStrictlyCheaper) {
  // From S (0,0): A (1,0) and B (0,1) both lead to C (1,1) at the same total cost. A and B tie
  // at f 2; A, made later, is expanded first and links C first.
  const Cell s{0, 0}, a{1, 0}, b{0, 1}, c{1, 1};
  m_graph.edges = {{s, a}, {s, b}, {a, c}, {b, c}};
  m_graph.estimates = {{s, 0}, {a, 1}, {b, 0}, {c, 5}};
  m_graph.costs = {{{s, a}, 1}, {{s, b}, 2}, {{a, c}, 2}, {{b, c}, 1}};
  Prepare();
  EXPECT_FALSE(m_search.Search(0, 0, 9, 9));
  gePathNode* node = Find(1, 1);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(Graph::At(node->pParent), a);
  EXPECT_EQ(node->g, 3.0);
  EXPECT_EQ(m_graph.Notes("child 2"), (std::vector<std::string>{"child 2 1,1 from 0,1"}));
  // Both linked C.
  EXPECT_EQ(Find(1, 0)->nChildCount, 1);
  EXPECT_EQ(Find(0, 1)->apChildren[0], node);

  // Strictly cheaper through B: re-parented in place, f from the new g and the old h.
  m_graph.notes.clear();
  m_graph.costs[{b, c}] = 0.5;
  m_graph.estimates[c] = 50;
  Prepare();
  m_search.Search(0, 0, 9, 9);
  ASSERT_NE(Find(1, 1), nullptr);
  EXPECT_EQ(Graph::At(Find(1, 1)->pParent), b);
  EXPECT_EQ(Find(1, 1)->g, 2.5);
  EXPECT_EQ(Find(1, 1)->f, 52.5);
  EXPECT_EQ(m_graph.Notes("child 1"), (std::vector<std::string>{"child 1 1,1 from 0,1"}));
}

TEST_F(PathSearchTest, ACheaperWayToAClosedNodeReachesItsDescendants) {
  // B is cheap to reach and leads expensively to C; C and its child K close before A, which
  // reaches C cheaply and must pass the saving down to K and K's child L.
  const Cell s{0, 0}, a{1, 0}, b{0, 1}, c{1, 1}, k{2, 1}, l{3, 1};
  m_graph.edges = {{s, a}, {s, b}, {b, c}, {c, k}, {k, l}, {a, c}};
  m_graph.costs = {{{b, c}, 5}, {{a, c}, 1}};
  m_graph.estimates = {{s, 0}, {a, 10}, {b, 0}, {c, 0}, {k, 0}, {l, 30}};
  Prepare();
  EXPECT_FALSE(m_search.Search(0, 0, 9, 9));
  gePathNode* nodeC = Find(1, 1);
  gePathNode* nodeK = Find(2, 1);
  gePathNode* nodeL = Find(3, 1);
  ASSERT_TRUE(nodeC && nodeK && nodeL);
  EXPECT_EQ(Graph::At(nodeC->pParent), a);
  EXPECT_EQ(nodeC->g, 2.0);
  EXPECT_EQ(nodeK->g, 3.0);
  EXPECT_EQ(nodeK->f, 3.0);
  EXPECT_EQ(nodeL->g, 4.0);
  EXPECT_EQ(nodeL->f, 34.0);
  const std::vector<std::string> links = m_graph.Notes("child");
  EXPECT_EQ(links.back(), "child 3 1,1 from 1,0");
  EXPECT_EQ(m_search.GetNodeCount(), 6);
}

TEST_F(PathSearchTest, TheBudgetIsTwentyStepsPerUnit) {
  // A corridor: the goal 19 cells away is taken on the 20th step, 20 cells away on the 21st.
  m_graph.Map({std::string(40, '.')});
  Prepare(true, 1, 64);
  EXPECT_TRUE(m_search.Search(0, 0, 19, 0));
  EXPECT_EQ(m_search.pBest->x, 19);
  EXPECT_FALSE(m_search.Search(0, 0, 20, 0));
  EXPECT_EQ(m_search.pBest, nullptr);
  EXPECT_GT(m_search.GetNodeCount(), 0);
  m_search.dwStepBudgetFactor = 2;
  EXPECT_TRUE(m_search.Search(0, 0, 20, 0));
}

TEST_F(PathSearchTest, EveryNodeMadeLiesInAListAndIsFreed) {
  m_graph.Map({"......", ".##...", "...#..", "......"});
  Prepare(true, 100, 6);
  ASSERT_TRUE(m_search.Search(0, 0, 5, 3));
  const int made =
      static_cast<int>(m_graph.Notes("child 0").size() + m_graph.Notes("child 5").size());
  EXPECT_EQ(m_search.GetNodeCount(), made);
  EXPECT_EQ(ListLength(m_search.pOpen) + ListLength(m_search.pClosed), made);
  // A new search frees the last one's nodes first.
  m_graph.notes.clear();
  ASSERT_TRUE(m_search.Search(0, 0, 1, 0));
  EXPECT_EQ(m_search.GetNodeCount(),
            static_cast<int>(m_graph.Notes("child 0").size() + m_graph.Notes("child 5").size()));
  m_search.FreeNodes();
  EXPECT_EQ(m_search.GetNodeCount(), 0);
  EXPECT_EQ(m_search.pOpen, nullptr);
  EXPECT_EQ(m_search.pClosed, nullptr);
  EXPECT_EQ(m_search.pBest, nullptr);
}

}  // namespace
