console.log("console");
