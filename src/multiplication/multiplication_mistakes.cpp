#include "multiplication/multiplication_examples.h"

namespace sorelka::multiplication {

std::vector<std::string> MultiplicationMistakeKinds(int /*menu_choice*/) { return {}; }

std::optional<MultiplicationMistakeExample> DrawMultiplicationMistake(int, RandomSource&,
                                                                      const std::vector<std::string>&) {
    return std::nullopt;
}

MultiplicationMistakeExample MultiplicationMistakeFallback(int menu_choice) {
    MultiplicationMistakeExample example;
    example.menu_choice = menu_choice;
    return example;
}

}  // namespace sorelka::multiplication
