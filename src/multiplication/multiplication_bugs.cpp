#include "multiplication/multiplication_bugs.h"

namespace sorelka::multiplication {

bool CanMakeMistake(MultiplicationPupil /*pupil*/, const MultiplicationProblem& /*problem*/) { return false; }

MultiplicationWork WorkOf(MultiplicationPupil /*pupil*/, const MultiplicationProblem& problem, RandomSource&) {
    return RightWork(problem);
}

}  // namespace sorelka::multiplication
