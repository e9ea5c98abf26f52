-- jobName=Door right
job = {}
job.Name = "Door right"
job.Steps = {}
job.Steps[1] = { Prg = 5, Count = 1 }
job.Steps[2] = { Prg = 5, Count = 1 }
job.Steps[3] = { Prg = 5, Count = 1 }
job.Steps[4] = { Prg = 1, Count = 1 }
job.AbortAllowed = true
